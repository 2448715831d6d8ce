#include "core/base/Catalog.h"
#include "core/config/ParGen.h"
#include "core/config/SelectType.h"

#include "TestPaths.h"
#include "core/FailDevice.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(ParGenValues)

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QString writeFile(const QTemporaryDir &dir, const QByteArray &bytes)
{
    const QString path = dir.filePath(QStringLiteral("ParGen.xml"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return QString();
    return path;
}

QByteArray written(const ParGenValues &values)
{
    QByteArray bytes;
    const QString error = ParGen::toBytes(values, bytes);
    return error.isEmpty() ? bytes : error.toUtf8();
}

// The edited document of the golden file, as the settings window holds it.
ParGenValues edited()
{
    ParGenValues v;
    v.boud0 = 5;
    v.boud1 = 2;
    v.type = 1;
    v.positive = true;
    v.baudDipC1 = true;
    v.typeC1 = 0;
    v.deviceType = 0;
    v.ip = {QStringLiteral(" 10"), QStringLiteral("0x10"), QString(), QStringLiteral("300")};
    v.subnetMask = {QStringLiteral("255"), QStringLiteral("255"), QStringLiteral("0"), QStringLiteral("0")};
    v.gateway = {QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("1")};
    v.gatewayEnabled = true;
    v.tcpPort = QStringLiteral("502");
    v.udpPort = QStringLiteral("a<b&c>");
    return v;
}

} // namespace

class TestParGen : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();

    void withoutFile();
    void emptyRootGivesDefaultsPerElement();
    void commentBeforeRootIsTheRoot();
    void positiveByReader_data();
    void positiveByReader();
    void deviceTypeByReader_data();
    void deviceTypeByReader();
    void indexOutsideItsListReadsAsItsDefault();
    void imageBuilderConvertsAddressBytes();

    void goldenBytes_data();
    void goldenBytes();
    void roundTrip();
    void writesTheFixedOrderAndDropsExtras();
    void notWellFormedIsAnErrorNamingTheFile();

    void validation_data();
    void validation();
    void validationMessageIsTheCatalogText();

    void failedSaveKeepsThePreviousFile();
    void failingDeviceReportsItsError();

private:
    Catalog m_catalog;
};

void TestParGen::initTestCase()
{
    m_catalog.Load_Default_Texts();
}

void TestParGen::withoutFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ParGen.xml"));

    ParGenValues settings = edited();
    QCOMPARE(ParGen::readForSettingsWindow(path, settings), QString());
    QCOMPARE(settings.deviceType, 1);
    QCOMPARE(settings.boud0, 8);
    QCOMPARE(settings.boud1, 8);
    QCOMPARE(settings.type, 0);
    QCOMPARE(settings.typeC1, 0);
    QVERIFY(!settings.positive);
    QVERIFY(!settings.baudDipC0 && !settings.baudDipC1 && !settings.gatewayEnabled);
    QCOMPARE(settings.ip, (std::array<QString, 4>{u"192"_qs, u"168"_qs, u"0"_qs, u"10"_qs}));
    QCOMPARE(settings.subnetMask, (std::array<QString, 4>{u"255"_qs, u"255"_qs, u"255"_qs, u"0"_qs}));
    QCOMPARE(settings.gateway, (std::array<QString, 4>{u"192"_qs, u"168"_qs, u"0"_qs, u"1"_qs}));
    QCOMPARE(settings.tcpPort, QStringLiteral("10001"));
    QCOMPARE(settings.udpPort, QStringLiteral("10001"));

    ParGenFilterValues filter;
    filter.deviceType = 0;
    filter.positive = false;
    QCOMPARE(ParGen::readForFilterWindow(path, filter), QString());
    QCOMPARE(filter.deviceType, 1);
    QVERIFY(filter.positive);
    QVERIFY(!filter.typesFollowPorts());

    QString error = QStringLiteral("stale");
    QCOMPARE(Select_Type(path, &error), 1);
    QCOMPARE(error, QString());

    std::optional<ParGenImageValues> image = ParGenImageValues();
    QCOMPARE(ParGen::readForImageBuilder(path, image), QString());
    QVERIFY(!image.has_value()); // the builder keeps its block defaults
}

void TestParGen::emptyRootGivesDefaultsPerElement()
{
    const QString path = TestPaths::data(QStringLiteral("config/ParGen-empty-root.xml"));

    ParGenValues settings;
    QCOMPARE(ParGen::readForSettingsWindow(path, settings), QString());
    QCOMPARE(settings.deviceType, 0);
    QCOMPARE(settings.boud0, 8);
    QCOMPARE(settings.boud1, 8);
    QVERIFY(settings.positive);
    QCOMPARE(settings.ip, ParGenValues().ip);
    QCOMPARE(settings.gateway, ParGenValues().gateway);
    QVERIFY(!settings.gatewayEnabled);

    ParGenFilterValues filter;
    QCOMPARE(ParGen::readForFilterWindow(path, filter), QString());
    QCOMPARE(filter.deviceType, 0);
    QVERIFY(filter.positive);
    QVERIFY(filter.typesFollowPorts());

    QCOMPARE(Select_Type(path), 0);

    std::optional<ParGenImageValues> image;
    QCOMPARE(ParGen::readForImageBuilder(path, image), QString());
    QVERIFY(image.has_value());
    QVERIFY(!image->positive);
    QCOMPARE(image->boud0, 8);
    QCOMPARE(image->ip, (std::array<qint32, 4>{192, 168, 0, 10}));
}

void TestParGen::commentBeforeRootIsTheRoot()
{
    // The document holds device type 1, positive off and Boud0 3, but its first node is a comment.
    const QString path = TestPaths::data(QStringLiteral("config/ParGen-comment-first.xml"));
    ParGenValues settings;
    QCOMPARE(ParGen::readForSettingsWindow(path, settings), QString());
    QCOMPARE(settings.deviceType, 0);
    QCOMPARE(settings.boud0, 8);
    QVERIFY(settings.positive);
    QCOMPARE(settings.ip[0], QStringLiteral("192"));
    QCOMPARE(Select_Type(path), 0);
}

void TestParGen::positiveByReader_data()
{
    QTest::addColumn<QByteArray>("element");
    QTest::addColumn<bool>("settings");
    QTest::addColumn<bool>("filter");
    QTest::addColumn<bool>("image");

    QTest::newRow("1") << QByteArray("<Positive>1</Positive>") << true << true << true;
    QTest::newRow("0") << QByteArray("<Positive>0</Positive>") << false << false << false;
    QTest::newRow("missing") << QByteArray() << true << true << false;
    QTest::newRow("empty") << QByteArray("<Positive></Positive>") << true << false << false;
    QTest::newRow("true") << QByteArray("<Positive>true</Positive>") << true << false << false;
    QTest::newRow("01") << QByteArray("<Positive>01</Positive>") << true << false << false;
    QTest::newRow("0 with blank") << QByteArray("<Positive> 0</Positive>") << true << false << false;
}

void TestParGen::positiveByReader()
{
    QFETCH(QByteArray, element);
    QFETCH(bool, settings);
    QFETCH(bool, filter);
    QFETCH(bool, image);

    QTemporaryDir dir;
    const QString path = writeFile(dir, "<Par_Gen>" + element + "</Par_Gen>");
    ParGenValues s;
    QCOMPARE(ParGen::readForSettingsWindow(path, s), QString());
    QCOMPARE(s.positive, settings);
    ParGenFilterValues f;
    QCOMPARE(ParGen::readForFilterWindow(path, f), QString());
    QCOMPARE(f.positive, filter);
    std::optional<ParGenImageValues> i;
    QCOMPARE(ParGen::readForImageBuilder(path, i), QString());
    QCOMPARE(i->positive, image);
}

void TestParGen::deviceTypeByReader_data()
{
    QTest::addColumn<QByteArray>("element");
    QTest::addColumn<int>("settings");
    QTest::addColumn<bool>("filterWithEthernet");
    QTest::addColumn<int>("mainWindow");

    QTest::newRow("1") << QByteArray("<Device_Type>1</Device_Type>") << 1 << true << 1;
    QTest::newRow("0") << QByteArray("<Device_Type>0</Device_Type>") << 0 << false << 0;
    QTest::newRow("hex 1") << QByteArray("<Device_Type>0x1</Device_Type>") << 1 << true << 1;
    QTest::newRow("2") << QByteArray("<Device_Type>2</Device_Type>") << 0 << true << 2;
    QTest::newRow("not a number") << QByteArray("<Device_Type>one</Device_Type>") << 0 << false << 0;
    QTest::newRow("trailing blank") << QByteArray("<Device_Type>1 </Device_Type>") << 0 << false << 0;
    QTest::newRow("missing") << QByteArray() << 0 << false << 0;
}

void TestParGen::deviceTypeByReader()
{
    QFETCH(QByteArray, element);
    QFETCH(int, settings);
    QFETCH(bool, filterWithEthernet);
    QFETCH(int, mainWindow);

    QTemporaryDir dir;
    const QString path = writeFile(dir, "<Par_Gen>" + element + "<Type>1</Type><TypeC1>7</TypeC1></Par_Gen>");
    ParGenValues s;
    QCOMPARE(ParGen::readForSettingsWindow(path, s), QString());
    QCOMPARE(s.deviceType, settings);
    ParGenFilterValues f;
    QCOMPARE(ParGen::readForFilterWindow(path, f), QString());
    QCOMPARE(!f.typesFollowPorts(), filterWithEthernet);
    QCOMPARE(f.can0Type, 1);
    QCOMPARE(f.can1Type, 7); // any frame type other than 0 is 29-bit for the filter window
    QString error;
    QCOMPARE(Select_Type(path, &error), mainWindow);
    QCOMPARE(error, QString());
}

void TestParGen::indexOutsideItsListReadsAsItsDefault()
{
    QTemporaryDir dir;
    const QString path = writeFile(
        dir,
        "<Par_Gen><Boud0>12</Boud0><Boud1>-1</Boud1><Type>2</Type><TypeC1>1</TypeC1><Device_Type>1</Device_Type></Par_Gen>");
    ParGenValues s;
    QCOMPARE(ParGen::readForSettingsWindow(path, s), QString());
    QCOMPARE(s.boud0, 8);
    QCOMPARE(s.boud1, 8);
    QCOMPARE(s.type, 0);
    QCOMPARE(s.typeC1, 1);
    QCOMPARE(s.deviceType, 1);
    // The image builder reads the number itself; its own table decides.
    std::optional<ParGenImageValues> i;
    QCOMPARE(ParGen::readForImageBuilder(path, i), QString());
    QCOMPARE(i->boud0, 12);
    QCOMPARE(i->boud1, -1);
    QCOMPARE(i->type, 2);
}

void TestParGen::imageBuilderConvertsAddressBytes()
{
    QTemporaryDir dir;
    const QString path = writeFile(dir,
                                   "<Par_Gen><Ethernet_IP1>300</Ethernet_IP1><Ethernet_IP2>0x10</Ethernet_IP2>"
                                   "<Ethernet_IP3>abc</Ethernet_IP3><Ethernet_SM4> 7</Ethernet_SM4>"
                                   "<Ethernet_GAT1>10</Ethernet_GAT1><Ethernet_EN_GAT>true</Ethernet_EN_GAT>"
                                   "<Baud_Dip_C0>1</Baud_Dip_C0><Baud_Dip_C1>01</Baud_Dip_C1></Par_Gen>");
    std::optional<ParGenImageValues> i;
    QCOMPARE(ParGen::readForImageBuilder(path, i), QString());
    QCOMPARE(i->ip, (std::array<qint32, 4>{300, 16, 0, 10}));
    QCOMPARE(i->subnetMask, (std::array<qint32, 4>{255, 255, 255, 7}));
    QCOMPARE(i->gateway, (std::array<qint32, 4>{10, 168, 0, 1}));
    QVERIFY(!i->gatewayEnabled);
    QVERIFY(i->baudDipC0);
    QVERIFY(!i->baudDipC1);
}

void TestParGen::goldenBytes_data()
{
    QTest::addColumn<ParGenValues>("values");
    QTest::addColumn<QString>("golden");
    QTest::newRow("without file") << ParGen::valuesWithoutFile() << QStringLiteral("config/ParGen-without-file.xml");
    QTest::newRow("edited") << edited() << QStringLiteral("config/ParGen-edited.xml");
}

void TestParGen::goldenBytes()
{
    QFETCH(ParGenValues, values);
    QFETCH(QString, golden);
    const QByteArray expected = fileBytes(TestPaths::data(golden));
    QCOMPARE(written(values), expected);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ParGen.xml"));
    QCOMPARE(ParGen::save(values, path), QString());
    QCOMPARE(fileBytes(path), expected);
}

void TestParGen::roundTrip()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ParGen.xml"));
    ParGenValues values = edited();
    values.deviceType = 1;
    values.baudDipC0 = true;
    values.positive = false;
    values.ip[3] = QStringLiteral("$Ff");
    values.gateway[2] = QStringLiteral("9 "); // written as typed, even when it would not validate
    QCOMPARE(ParGen::save(values, path), QString());
    ParGenValues back;
    QCOMPARE(ParGen::readForSettingsWindow(path, back), QString());
    QCOMPARE(back, values);
}

void TestParGen::writesTheFixedOrderAndDropsExtras()
{
    ParGenValues values;
    QCOMPARE(ParGen::readForSettingsWindow(TestPaths::data(QStringLiteral("config/ParGen-other-order.xml")), values),
             QString());
    QCOMPARE(values.boud0, 4);
    QCOMPARE(values.boud1, 3);
    QCOMPARE(values.udpPort, QStringLiteral("10002"));
    QVERIFY(!values.positive);
    QVERIFY(values.gatewayEnabled);

    QByteArray expected = fileBytes(TestPaths::data(QStringLiteral("config/ParGen-without-file.xml")));
    expected.replace("<Boud0>8</Boud0><Boud1>8</Boud1>", "<Boud0>4</Boud0><Boud1>3</Boud1>");
    expected.replace("<Ethernet_IP1>192</Ethernet_IP1>", "<Ethernet_IP1>10</Ethernet_IP1>");
    expected.replace("<Ethernet_EN_GAT>0</Ethernet_EN_GAT>", "<Ethernet_EN_GAT>1</Ethernet_EN_GAT>");
    expected.replace("<Ethernet_UDP_Port>10001</Ethernet_UDP_Port>", "<Ethernet_UDP_Port>10002</Ethernet_UDP_Port>");
    QCOMPARE(written(values), expected);
}

void TestParGen::notWellFormedIsAnErrorNamingTheFile()
{
    QTemporaryDir dir;
    const QByteArray broken = fileBytes(TestPaths::data(QStringLiteral("config/ParGen-malformed.xml")));
    const QString path = writeFile(dir, broken);
    const QString shown = QDir::toNativeSeparators(path);

    const auto checkError = [&](const QString &error) {
        QVERIFY2(error.contains(shown), qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("line 2")), qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("column")), qPrintable(error));
    };
    ParGenValues s = edited();
    checkError(ParGen::readForSettingsWindow(path, s));
    ParGenFilterValues f;
    checkError(ParGen::readForFilterWindow(path, f));
    std::optional<ParGenImageValues> i;
    checkError(ParGen::readForImageBuilder(path, i));
    QVERIFY(!i.has_value());
    QString error;
    Select_Type(path, &error);
    checkError(error);

    QCOMPARE(fileBytes(path), broken);
}

void TestParGen::validation_data()
{
    QTest::addColumn<int>("deviceType");
    QTest::addColumn<bool>("gatewayEnabled");
    QTest::addColumn<QString>("field"); // ip1..ip4, sm1..sm4, gat1..gat4
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("message"); // 0: valid

    QTest::newRow("defaults") << 1 << false << "ip1"
                              << "192" << 0;
    QTest::newRow("leading blank") << 1 << false << "ip1"
                                   << " 5" << 0;
    QTest::newRow("hex prefix") << 1 << false << "ip2"
                                << "0x10" << 0;
    QTest::newRow("255") << 1 << false << "sm1"
                         << "255" << 0;
    QTest::newRow("mask 0") << 1 << false << "sm4"
                            << "0" << 0;
    QTest::newRow("trailing blank") << 1 << false << "ip1"
                                    << "5 " << 947;
    QTest::newRow("empty ip1") << 1 << false << "ip1"
                               << "" << 947;
    QTest::newRow("256 ip2") << 1 << false << "ip2"
                             << "256" << 948;
    QTest::newRow("-1 ip3") << 1 << false << "ip3"
                            << "-1" << 949;
    QTest::newRow("abc ip4") << 1 << false << "ip4"
                             << "abc" << 950;
    QTest::newRow("sm1") << 1 << false << "sm1"
                         << "300" << 951;
    QTest::newRow("sm2") << 1 << false << "sm2"
                         << "" << 952;
    QTest::newRow("sm3") << 1 << false << "sm3"
                         << "0x100" << 953;
    QTest::newRow("sm4") << 1 << false << "sm4"
                         << "x" << 954;
    QTest::newRow("gateway off") << 1 << false << "gat1"
                                 << "300" << 0;
    QTest::newRow("gat1") << 1 << true << "gat1"
                          << "300" << 955;
    QTest::newRow("gat2") << 1 << true << "gat2"
                          << "" << 956;
    QTest::newRow("gat3") << 1 << true << "gat3"
                          << "-5" << 957;
    QTest::newRow("gat4") << 1 << true << "gat4"
                          << "1 " << 958;
    QTest::newRow("device 0 empty ip") << 0 << false << "ip1"
                                       << "" << 0;
    QTest::newRow("device 0 ip 256") << 0 << true << "ip3"
                                     << "256" << 0;
    QTest::newRow("device 0 gateway") << 0 << true << "gat1"
                                      << "x" << 0;
}

void TestParGen::validation()
{
    QFETCH(int, deviceType);
    QFETCH(bool, gatewayEnabled);
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(int, message);

    ParGenValues v;
    v.deviceType = deviceType;
    v.gatewayEnabled = gatewayEnabled;
    const int i = field.right(1).toInt() - 1;
    if (field.startsWith(QLatin1String("ip")))
        v.ip[i] = text;
    else if (field.startsWith(QLatin1String("sm")))
        v.subnetMask[i] = text;
    else
        v.gateway[i] = text;
    QCOMPARE(ParGen::Controllo_Dati(v).value_or(0), message);
}

void TestParGen::validationMessageIsTheCatalogText()
{
    ParGenValues v;
    QCOMPARE(ParGen::Controllo_Dati(v, m_catalog), QString());
    v.subnetMask[1] = QStringLiteral("256");
    v.gatewayEnabled = true;
    v.gateway[0] = QStringLiteral("256"); // the mask comes first
    QCOMPARE(ParGen::Controllo_Dati(v, m_catalog),
             QStringLiteral("Error Ethernet!! SubNet Mask 2 must be between 0 and 255"));
}

void TestParGen::failedSaveKeepsThePreviousFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ParGen.xml"));
    QCOMPARE(ParGen::save(ParGenValues(), path), QString());
    const QByteArray before = fileBytes(path);

    ParGenValues bad = edited();
    bad.ip[0] = QStringLiteral("1") + QChar(0x01); // cannot be stored in XML
    const QString error = ParGen::save(bad, path);
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("Ethernet_IP1")), qPrintable(error));
    QCOMPARE(fileBytes(path), before);

    const QString missingFolder = dir.filePath(QStringLiteral("gone/ParGen.xml"));
    const QString folderError = ParGen::save(ParGenValues(), missingFolder);
    QVERIFY2(folderError.contains(QDir::toNativeSeparators(missingFolder)), qPrintable(folderError));
}

void TestParGen::failingDeviceReportsItsError()
{
    FailDevice device(100);
    QVERIFY(device.open(QIODevice::WriteOnly));
    QCOMPARE(ParGen::write(ParGenValues(), device), QStringLiteral("No space left on device"));

    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QCOMPARE(ParGen::write(ParGenValues(), buffer), QString());
    QCOMPARE(buffer.data(), fileBytes(TestPaths::data(QStringLiteral("config/ParGen-without-file.xml"))));
}

QTEST_GUILESS_MAIN(TestParGen)
#include "tst_pargen.moc"
