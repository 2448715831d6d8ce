#include "bus/BusPrediction.h"
#include "core/base/Catalog.h"

#include "core/app/AppState.h"
#include "core/base/FileIo.h"
#include "core/config/ParGen.h"
#include "core/device/facts/DeviceFacts.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QtEndian>

namespace {
constexpr int ChecksumOffset = DeviceFacts::ParBlockOffset + 0x7FC;
} // namespace

QString BusPrediction::load(const QString &projectDir)
{
    *this = BusPrediction();
    const QFileInfo dirInfo(projectDir);
    if (!dirInfo.isDir())
        return Catalog::messages().text(TextId::BusNotProjectFolder).arg(QDir::toNativeSeparators(projectDir));
    AppState state;
    state.Dir_Project = dirInfo.absoluteFilePath();
    Set_Files(state);
    const QString imagePath = joinPath(state.binDir(), FilterImage::fileName());
    const QFileInfo imageInfo(imagePath);
    if (!imageInfo.exists())
        return Catalog::messages()
            .text(TextId::BusNotBuilt)
            .arg(QDir::toNativeSeparators(state.Dir_Project), QDir::toNativeSeparators(imagePath));
    // A device flashed from an old build does what the old build says; checking it against
    // newer documents would blame the bus for an edit. The banks are written with the image.
    for (const QString &built : {imagePath, joinPath(state.binDir(), QStringLiteral("bank1.bin")),
                                 joinPath(state.binDir(), QStringLiteral("bank2.bin"))}) {
        const QFileInfo builtInfo(built);
        for (const QString &doc : {state.File_ParGen, state.File_CobID}) {
            const QFileInfo info(doc);
            if (builtInfo.exists() && info.exists() && info.lastModified() > builtInfo.lastModified())
                return Catalog::messages()
                    .text(TextId::BusBuildStale)
                    .arg(QDir::toNativeSeparators(doc), builtInfo.fileName());
        }
    }
    QString error = m_image.load(state.binDir());
    if (error.isEmpty())
        error = m_device.load(state.Dir_Project);
    if (!error.isEmpty())
        return error;
    QByteArray bytes;
    error = FileIo::readFile(imagePath, bytes, 1024 * 1024);
    if (!error.isEmpty())
        return error;
    m_checksum = qFromLittleEndian<quint32>(bytes.constData() + ChecksumOffset);

    std::optional<ParGenImageValues> values;
    error = ParGen::readForImageBuilder(state.File_ParGen, values);
    if (!error.isEmpty())
        return error;
    if (values) {
        const int indices[2] = {values->boud0, values->boud1};
        for (int p = 0; p < 2; ++p)
            m_bitRates[p] = int(DeviceFacts::bitRate(indices[p]));
    }
    m_projectDir = state.Dir_Project;
    m_imagePath = imagePath;
    return QString();
}

QString BusPrediction::projectName() const
{
    return QFileInfo(m_projectDir).fileName();
}
