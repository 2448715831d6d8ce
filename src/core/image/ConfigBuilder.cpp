#include "core/image/ConfigBuilder.h"

#include "core/app/AppState.h"
#include "core/base/FileIo.h"
#include "core/config/ParGen.h"
#include "core/device/facts/DeviceFacts.h"
#include "core/image/BankSource.h"
#include "core/image/FilterDocument.h"
#include "core/image/XmlSource.h"

#include <QDir>

QString ConfigBuilder::Build_Config(const QString &fileParGen, const QString &fileCobId)
{
    return Build_Config(XmlSource::load(fileParGen, ParGen::MaxFileBytes), FilterDocument::load(fileCobId));
}

QString ConfigBuilder::Build_Config(const XmlSource &parGen, const FilterDocument &cobId)
{
    const BankBuilder::Bank_Settings keptSettings = m_banks.settings();
    const ParBlock::PortTypes keptTypes = m_image.portTypes();
    QString error = m_banks.Build_Banks(parGen, cobId);
    if (error.isEmpty())
        error = m_image.Build_Image(parGen, cobId);
    if (!error.isEmpty()) {
        // A build that stopped half-way must not leave its half-read values for the next one.
        m_banks.setSettings(keptSettings);
        m_image.setPortTypes(keptTypes);
    }
    return error;
}

QList<ConfigBuilder::OutputFile> ConfigBuilder::outputs() const
{
    QList<OutputFile> files;
    QByteArray sourceBanks[4];
    for (int k = 1; k <= DeviceFacts::BankCount; ++k) {
        files.append({QString::fromLatin1(DeviceFacts::BankFilePattern).arg(k), m_banks.bank(k)});
        if (k <= 4)
            sourceBanks[k - 1] = m_banks.bank(k);
    }
    files.append({QString::fromLatin1(DeviceFacts::BankSourceFileName), BankSource::Write_Bank_Source(sourceBanks)});
    files.append({QString::fromLatin1(DeviceFacts::ImageFileName), m_image.image()});
    return files;
}

QString ConfigBuilder::Write_Config_Files(const QString &binDir) const
{
    if (!QDir().mkpath(binDir))
        return QStringLiteral("Cannot create the folder %1").arg(QDir::toNativeSeparators(binDir));
    QList<FileIo::PendingFile> pending;
    for (const OutputFile &file : outputs())
        pending.append({joinPath(binDir, file.name), file.bytes});
    return FileIo::saveFiles(pending);
}

QString ConfigBuilder::buildAndWrite(const QString &fileParGen, const QString &fileCobId, const QString &binDir)
{
    const QString error = Build_Config(fileParGen, fileCobId);
    if (!error.isEmpty())
        return error;
    return Write_Config_Files(binDir);
}

ConfigBuilder &configBuilder()
{
    static ConfigBuilder builder;
    return builder;
}
