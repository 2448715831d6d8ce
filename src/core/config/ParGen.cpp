#include "core/config/ParGen.h"

#include "core/base/Catalog.h"
#include "core/base/FileIo.h"
#include "core/base/IntText.h"
#include "core/base/XmlFile.h"
#include "core/config/DocumentXml.h"

#include <QDir>
#include <QXmlStreamWriter>

bool ParGenValues::operator==(const ParGenValues &o) const
{
    return boud0 == o.boud0 && boud1 == o.boud1 && type == o.type && positive == o.positive && baudDipC0 == o.baudDipC0
        && baudDipC1 == o.baudDipC1 && typeC1 == o.typeC1 && deviceType == o.deviceType && ip == o.ip
        && subnetMask == o.subnetMask && gateway == o.gateway && gatewayEnabled == o.gatewayEnabled
        && tcpPort == o.tcpPort && udpPort == o.udpPort;
}

namespace ParGen {

namespace {

constexpr QLatin1String kRoot = QLatin1String("Par_Gen");
constexpr QLatin1String kIp[4] = {QLatin1String("Ethernet_IP1"), QLatin1String("Ethernet_IP2"),
                                  QLatin1String("Ethernet_IP3"), QLatin1String("Ethernet_IP4")};
constexpr QLatin1String kSm[4] = {QLatin1String("Ethernet_SM1"), QLatin1String("Ethernet_SM2"),
                                  QLatin1String("Ethernet_SM3"), QLatin1String("Ethernet_SM4")};
constexpr QLatin1String kGat[4] = {QLatin1String("Ethernet_GAT1"), QLatin1String("Ethernet_GAT2"),
                                   QLatin1String("Ethernet_GAT3"), QLatin1String("Ethernet_GAT4")};

std::optional<QString> text(const QDomNode &root, const char16_t *name)
{
    bool found = false;
    const QString value = XmlFile::childText(root, QString::fromUtf16(name), &found);
    return found ? std::optional<QString>(value) : std::nullopt;
}

std::optional<QString> text(const QDomNode &root, const QString &name)
{
    bool found = false;
    const QString value = XmlFile::childText(root, name, &found);
    return found ? std::optional<QString>(value) : std::nullopt;
}

// Integer text; missing or unreadable gives the fallback.
int number(const QDomNode &root, const char16_t *name, int fallback)
{
    const auto t = text(root, name);
    return t ? IntText::readOr(*t, fallback) : fallback;
}

// A list position: the settings window cannot show a value outside its list, so such a value
// is read like an unreadable one and what the window shows is what OK writes back.
int listIndex(const QDomNode &root, const char16_t *name, int count, int fallback)
{
    const int value = number(root, name, fallback);
    return value >= 0 && value < count ? value : fallback;
}

bool exactlyOne(const QDomNode &root, const char16_t *name)
{
    const auto t = text(root, name);
    return t && *t == QLatin1String("1");
}

} // namespace

ParGenValues valuesWithoutFile()
{
    return ParGenValues();
}

ParGenValues settingsWindowValues(const QDomNode &root)
{
    ParGenValues v;
    v.boud0 = listIndex(root, u"Boud0", BitRateCount, DeviceFacts::FallbackBitRateIndex);
    v.boud1 = listIndex(root, u"Boud1", BitRateCount, DeviceFacts::FallbackBitRateIndex);
    v.type = listIndex(root, u"Type", 2, 0);
    // Off only for exactly "0": a document that lost the element keeps the option on.
    const auto positive = text(root, u"Positive");
    v.positive = !(positive && *positive == QLatin1String("0"));
    v.baudDipC0 = exactlyOne(root, u"Baud_Dip_C0");
    v.baudDipC1 = exactlyOne(root, u"Baud_Dip_C1");
    v.typeC1 = listIndex(root, u"TypeC1", 2, 0);
    v.deviceType = listIndex(root, u"Device_Type", 2, 0);
    const ParGenValues defaults;
    for (int i = 0; i < 4; ++i) {
        v.ip[i] = text(root, kIp[i]).value_or(defaults.ip[i]);
        v.subnetMask[i] = text(root, kSm[i]).value_or(defaults.subnetMask[i]);
        v.gateway[i] = text(root, kGat[i]).value_or(defaults.gateway[i]);
    }
    v.gatewayEnabled = exactlyOne(root, u"Ethernet_EN_GAT");
    v.tcpPort = text(root, u"Ethernet_TCP_Port").value_or(defaults.tcpPort);
    v.udpPort = text(root, u"Ethernet_UDP_Port").value_or(defaults.udpPort);
    return v;
}

ParGenFilterValues filterWindowValues(const QDomNode &root)
{
    ParGenFilterValues v;
    v.deviceType = number(root, u"Device_Type", 0);
    v.can0Type = number(root, u"Type", 0);
    v.can1Type = number(root, u"TypeC1", 0);
    const auto positive = text(root, u"Positive");
    v.positive = !positive || *positive == QLatin1String("1");
    return v;
}

int mainWindowDeviceType(const QDomNode &root)
{
    return number(root, u"Device_Type", 0);
}

ParGenImageValues imageBuilderValues(const QDomNode &root)
{
    ParGenImageValues v;
    v.baudDipC1 = exactlyOne(root, u"Baud_Dip_C1");
    v.boud1 = number(root, u"Boud1", 8);
    v.type = number(root, u"Type", 0);
    v.baudDipC0 = exactlyOne(root, u"Baud_Dip_C0");
    v.boud0 = number(root, u"Boud0", 8);
    v.typeC1 = number(root, u"TypeC1", 0);
    v.positive = exactlyOne(root, u"Positive");
    const ParGenImageValues defaults;
    for (int i = 0; i < 4; ++i) {
        const auto ip = text(root, kIp[i]);
        v.ip[i] = ip ? IntText::readOr(*ip, defaults.ip[i]) : defaults.ip[i];
        const auto sm = text(root, kSm[i]);
        v.subnetMask[i] = sm ? IntText::readOr(*sm, defaults.subnetMask[i]) : defaults.subnetMask[i];
        const auto gat = text(root, kGat[i]);
        v.gateway[i] = gat ? IntText::readOr(*gat, defaults.gateway[i]) : defaults.gateway[i];
    }
    v.gatewayEnabled = exactlyOne(root, u"Ethernet_EN_GAT");
    return v;
}

QString readForSettingsWindow(const QString &path, ParGenValues &values)
{
    QDomDocument doc;
    QDomNode root;
    QString error;
    values = valuesWithoutFile();
    if (DocumentXml::loadRoot(path, MaxFileBytes, doc, root, error) == DocumentXml::Load::Loaded)
        values = settingsWindowValues(root);
    return error;
}

QString readForFilterWindow(const QString &path, ParGenFilterValues &values)
{
    QDomDocument doc;
    QDomNode root;
    QString error;
    values = ParGenFilterValues();
    if (DocumentXml::loadRoot(path, MaxFileBytes, doc, root, error) == DocumentXml::Load::Loaded)
        values = filterWindowValues(root);
    return error;
}

QString readForImageBuilder(const QString &path, std::optional<ParGenImageValues> &values)
{
    QDomDocument doc;
    QDomNode root;
    QString error;
    values.reset();
    if (DocumentXml::loadRoot(path, MaxFileBytes, doc, root, error) == DocumentXml::Load::Loaded)
        values = imageBuilderValues(root);
    return error;
}

QString toBytes(const ParGenValues &v, QByteArray &bytes)
{
    const auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    struct Element
    {
        QString name;
        QString text;
    };
    QList<Element> elements = {
        {QStringLiteral("Boud0"), QString::number(v.boud0)},
        {QStringLiteral("Boud1"), QString::number(v.boud1)},
        {QStringLiteral("Type"), QString::number(v.type)},
        {QStringLiteral("Positive"), flag(v.positive)},
        {QStringLiteral("Baud_Dip_C0"), flag(v.baudDipC0)},
        {QStringLiteral("Baud_Dip_C1"), flag(v.baudDipC1)},
        {QStringLiteral("TypeC1"), QString::number(v.typeC1)},
        {QStringLiteral("Device_Type"), QString::number(v.deviceType)},
    };
    for (int i = 0; i < 4; ++i)
        elements.append({kIp[i], v.ip[i]});
    for (int i = 0; i < 4; ++i)
        elements.append({kSm[i], v.subnetMask[i]});
    for (int i = 0; i < 4; ++i)
        elements.append({kGat[i], v.gateway[i]});
    elements.append({QStringLiteral("Ethernet_EN_GAT"), flag(v.gatewayEnabled)});
    elements.append({QStringLiteral("Ethernet_TCP_Port"), v.tcpPort});
    elements.append({QStringLiteral("Ethernet_UDP_Port"), v.udpPort});

    for (const Element &e : elements) {
        if (!DocumentXml::storable(e.text))
            return Catalog::messages().text(TextId::ParGenControlCharacter).arg(e.name);
    }

    bytes.clear();
    QXmlStreamWriter w(&bytes);
    w.writeStartElement(kRoot);
    for (const Element &e : elements)
        w.writeTextElement(e.name, e.text);
    w.writeEndElement();
    w.writeComment(QString::fromUtf16(DocumentXml::VersionComment));
    w.writeCharacters(QStringLiteral("\n"));
    return QString();
}

QString write(const ParGenValues &values, QIODevice &device)
{
    QByteArray bytes;
    const QString error = toBytes(values, bytes);
    return error.isEmpty() ? FileIo::writeAll(device, bytes) : error;
}

QString save(const ParGenValues &values, const QString &path)
{
    QByteArray bytes;
    const QString error = toBytes(values, bytes);
    if (!error.isEmpty())
        return Catalog::messages().text(TextId::CannotWrite).arg(QDir::toNativeSeparators(path), error);
    return FileIo::saveFile(path, bytes);
}

std::optional<int> Controllo_Dati(const ParGenValues &v)
{
    if (v.deviceType == 0)
        return std::nullopt;
    const auto isByte = [](const QString &text) {
        const qint32 value = IntText::readOr(text, -1);
        return value >= 0 && value <= 255;
    };
    for (int i = 0; i < 4; ++i) {
        if (!isByte(v.ip[i]))
            return 947 + i;
    }
    for (int i = 0; i < 4; ++i) {
        if (!isByte(v.subnetMask[i]))
            return 951 + i;
    }
    if (v.gatewayEnabled) {
        for (int i = 0; i < 4; ++i) {
            if (!isByte(v.gateway[i]))
                return 955 + i;
        }
    }
    return std::nullopt;
}

QString Controllo_Dati(const ParGenValues &values, const Catalog &catalog)
{
    const auto failed = Controllo_Dati(values);
    return failed ? catalog.text(*failed) : QString();
}

} // namespace ParGen
