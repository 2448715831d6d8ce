#pragma once

#include "core/device/facts/DeviceFacts.h"

#include <QByteArray>
#include <QDomNode>
#include <QString>

#include <array>
#include <optional>

class Catalog;
class QIODevice;

// The communication parameters document ParGen.xml, as the communication settings window
// holds it. Indices and flags are numbers; address bytes and ports stay exactly as typed.
struct ParGenValues
{
    int boud0 = 8; // bit-rate index, 0..8 = 10K..1000K
    int boud1 = 8;
    int type = 0; // frame type of CAN 0: 0 = 2.0A (11 bits), 1 = 2.0B (29 bits)
    bool positive = false;
    bool baudDipC0 = false;
    bool baudDipC1 = false;
    int typeC1 = 0;     // frame type of CAN 1
    int deviceType = 1; // 0 = without Ethernet port, 1 = with Ethernet port
    std::array<QString, 4> ip{QStringLiteral("192"), QStringLiteral("168"), QStringLiteral("0"), QStringLiteral("10")};
    std::array<QString, 4> subnetMask{QStringLiteral("255"), QStringLiteral("255"), QStringLiteral("255"),
                                      QStringLiteral("0")};
    std::array<QString, 4> gateway{QStringLiteral("192"), QStringLiteral("168"), QStringLiteral("0"),
                                   QStringLiteral("1")};
    bool gatewayEnabled = false;
    QString tcpPort = QStringLiteral("10001");
    QString udpPort = QStringLiteral("10001");

    bool operator==(const ParGenValues &other) const;
    bool operator!=(const ParGenValues &other) const { return !(*this == other); }
};

// What the COB-ID filter window takes from the document.
struct ParGenFilterValues
{
    int deviceType = 1; // 0 = without Ethernet port; any other number = with
    int can0Type = 0;   // 0 = 11-bit, any other = 29-bit
    int can1Type = 0;
    bool positive = true;

    // Device type 0: the filter rows take their frame types from the ports.
    bool typesFollowPorts() const { return deviceType == 0; }
};

// What the image builder takes from the document, each value already with the builder's
// own fallback. Address bytes are whole integers; the builder keeps their low 8 bits.
struct ParGenImageValues
{
    int boud0 = 8;
    int boud1 = 8;
    qint32 type = 0;
    qint32 typeC1 = 0;
    bool baudDipC0 = false;
    bool baudDipC1 = false;
    bool positive = false;
    std::array<qint32, 4> ip{192, 168, 0, 10};
    std::array<qint32, 4> subnetMask{255, 255, 255, 0};
    std::array<qint32, 4> gateway{192, 168, 0, 1};
    bool gatewayEnabled = false;
};

namespace ParGen {

inline constexpr int BitRateCount = DeviceFacts::BitRateCount;

// The document is a few hundred bytes; a file larger than this is refused unread.
inline constexpr qint64 MaxFileBytes = 1024 * 1024;

// The four readers interpret the same document differently (missing file, missing element,
// the text of Positive and Device_Type); each has its own function. `root` is the
// document's first top-level node, or a null node for a document without one.
ParGenValues settingsWindowValues(const QDomNode &root);
ParGenFilterValues filterWindowValues(const QDomNode &root);
int mainWindowDeviceType(const QDomNode &root);
ParGenImageValues imageBuilderValues(const QDomNode &root);

// The same readers on a file. A missing file gives that reader's values without file; a file
// that cannot be read or is not well-formed XML returns a text naming the file and the
// parser's line, column and message (the values are then the ones without file, and the
// caller must not go on as if the file had been read).
QString readForSettingsWindow(const QString &path, ParGenValues &values);
QString readForFilterWindow(const QString &path, ParGenFilterValues &values);
QString readForImageBuilder(const QString &path, std::optional<ParGenImageValues> &values);

// The values the settings window shows for a project without the document.
ParGenValues valuesWithoutFile();

// The bytes written: root Par_Gen first, the version comment after it, every element in the
// fixed order, texts as typed, no declaration, no indentation, UTF-8.
// An empty error means success.
QString toBytes(const ParGenValues &values, QByteArray &bytes);
QString write(const ParGenValues &values, QIODevice &device);
// Atomic: a failed save leaves the previous file as it was.
QString save(const ParGenValues &values, const QString &path);

// Validation on OK. Returns the catalog index of the first failed rule's message (947..958),
// or nothing when the values may be written. Device type 0 is always valid.
std::optional<int> Controllo_Dati(const ParGenValues &values);
// The message the window shows for that failure; empty when valid.
QString Controllo_Dati(const ParGenValues &values, const Catalog &catalog);

} // namespace ParGen
