#pragma once

#include "core/device/DevicePrediction.h"
#include "core/device/FilterImage.h"

#include <QString>

// What the device of a built project should do with a frame, and the rows the plan is made
// from. The routes come from one place (route()), so the reader behind them can change
// without touching the plan, the verifier or the emulator.
class BusPrediction
{
public:
    // Reads the project's build. Refuses a folder that is not a project, a project that was
    // never built and a build older than either document, each with a text that says so.
    QString load(const QString &projectDir);

    FilterImage::Route route(Direction from, quint32 id, bool extended) const
    {
        return m_device.route(from, id, extended);
    }
    bool positive() const { return m_device.positive(); }
    // The rows of a direction, as the image lists them (with their 29-bit marks): the image
    // is built for every variant and keeps the formats the banks drop.
    const std::vector<FilterImage::Entry> &rows(Direction from) const { return m_image.entries(from); }

    QString projectDir() const { return m_projectDir; }
    QString projectName() const;
    QString source() const { return m_device.source(); } // the files the routes were read from
    QStringList assumptions() const { return m_device.assumptions(); }
    QString fingerprint() const { return m_device.fingerprint(); }
    int deviceType() const { return m_device.deviceType(); }
    QString imagePath() const { return m_imagePath; }
    quint32 imageChecksum() const { return m_checksum; } // the stored checksum of bank_K60.bin
    // Bit rates of CAN 0 and CAN 1 in bit/s, as the project sets them.
    int bitRate(int port) const { return m_bitRates[port == 1 ? 1 : 0]; }

private:
    DevicePrediction m_device;
    FilterImage m_image;
    QString m_projectDir;
    QString m_imagePath;
    quint32 m_checksum = 0;
    int m_bitRates[2] = {int(DeviceFacts::FallbackBitRate), int(DeviceFacts::FallbackBitRate)};
};
