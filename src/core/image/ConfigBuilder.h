#pragma once

#include "core/image/BankBuilder.h"
#include "core/image/ImageBuilder.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The builder: from two documents to the banks, the configuration image and the values that a
// build keeps for the next one (the port frame types and the six bank settings). The
// program keeps one for its whole run (configBuilder()); tests make their own.
class ConfigBuilder
{
public:
    struct OutputFile
    {
        QString name;
        QByteArray bytes;
    };

    // Builds banks and image from the two documents; either may be missing. On failure the
    // kept values are as they were before the call.
    QString Build_Config(const QString &fileParGen, const QString &fileCobId);
    QString Build_Config(const XmlSource &parGen, const FilterDocument &cobId);

    // The seven files of the last build, in the order they are written: bank1.bin ..
    // bank5.bin, bankg.c, bank_K60.bin.
    QList<OutputFile> outputs() const;

    // Writes the last build's files into `binDir`, creating it if needed. Each file is
    // replaced atomically or left as it was; the first failure in file order is returned,
    // naming the file.
    QString Write_Config_Files(const QString &binDir) const;

    // Build_Config then, only when it succeeded, Write_Config_Files.
    QString buildAndWrite(const QString &fileParGen, const QString &fileCobId, const QString &binDir);

    const BankBuilder &banks() const { return m_banks; }
    const ImageBuilder &image() const { return m_image; }
    BankBuilder &banks() { return m_banks; }
    ImageBuilder &image() { return m_image; }

private:
    BankBuilder m_banks;
    ImageBuilder m_image;
};

// The process-wide builder.
ConfigBuilder &configBuilder();
