// Files far larger than any the program writes are refused before they are read, with a
// message that names the file and the limit; documents that would need a huge tree are
// refused before it is built; long S-record lines cost no more than their bytes.
#include "core/app/AppState.h"
#include "core/app/SettingsFile.h"
#include "core/base/Catalog.h"
#include "core/base/FileIo.h"
#include "core/base/XmlFile.h"
#include "core/config/CobIdCsv.h"
#include "core/config/CobIdDocument.h"
#include "core/config/DbcImport.h"
#include "core/config/ParGen.h"
#include "core/config/SelectType.h"
#include "core/i18n/Language.h"
#include "core/image/ConfigBuilder.h"
#include "core/image/SrecMerge.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace {

enum class Reader {
    Settings,
    ParGenSettingsWindow,
    ParGenFilterWindow,
    ParGenImageBuilder,
    SelectType,
    CobIdDocument,
    LanguageFile,
    Firmware,
    ImageBuildParGen,
    ImageBuildCobId,
};

// Runs one reader on `path` and returns the error text it gives.
QString readWith(Reader reader, const QString &path, const QString &workDir)
{
    switch (reader) {
    case Reader::Settings: {
        AppState state;
        QString error;
        SettingsFile::read(state, path, &error);
        return error;
    }
    case Reader::ParGenSettingsWindow: {
        ParGenValues values;
        return ParGen::readForSettingsWindow(path, values);
    }
    case Reader::ParGenFilterWindow: {
        ParGenFilterValues values;
        return ParGen::readForFilterWindow(path, values);
    }
    case Reader::ParGenImageBuilder: {
        std::optional<ParGenImageValues> values;
        return ParGen::readForImageBuilder(path, values);
    }
    case Reader::SelectType: {
        QString error;
        Select_Type(path, &error);
        return error;
    }
    case Reader::CobIdDocument: {
        CobIdDocument doc;
        return doc.read(path);
    }
    case Reader::LanguageFile: {
        Catalog catalog;
        catalog.Load_Default_Texts();
        QString version;
        QString error;
        if (Language::Load_Lang_File(catalog, path, version, &error))
            return QString();
        return error;
    }
    case Reader::ImageBuildParGen:
    case Reader::ImageBuildCobId: {
        // The other document is a sound one.
        const QString other = QDir(workDir).filePath(QStringLiteral("other.xml"));
        const QByteArray sound = reader == Reader::ImageBuildParGen
            ? QByteArray("<CanCanCobID><Can0_to_Can1/><Can1_to_Can0/></CanCanCobID>")
            : QByteArray("<Par_Gen><Boud0>8</Boud0><Boud1>8</Boud1><Type>0</Type><Positive>0</Positive>"
                         "<Baud_Dip_C0>0</Baud_Dip_C0><Baud_Dip_C1>0</Baud_Dip_C1></Par_Gen>");
        QFile f(other);
        if (!f.open(QIODevice::WriteOnly) || f.write(sound) != sound.size())
            return QStringLiteral("cannot prepare the other document");
        f.close();
        ConfigBuilder builder;
        return reader == Reader::ImageBuildParGen ? builder.Build_Config(path, other)
                                                  : builder.Build_Config(other, path);
    }
    case Reader::Firmware: {
        const QString project = QDir(workDir).filePath(QStringLiteral("P"));
        QDir().mkpath(project + QStringLiteral("/bin"));
        for (int k = 1; k <= 2; ++k) {
            QFile bank(QDir(project).filePath(QStringLiteral("bin/bank%1.bin").arg(k)));
            if (!bank.open(QIODevice::WriteOnly)
                || bank.write(QByteArray(SrecMerge::BankSize, '\xFF')) != SrecMerge::BankSize)
                return QStringLiteral("cannot prepare the bank files");
        }
        const QFileInfo source(path);
        return SrecMerge::runChain(SrecMerge::filesFor(project, source.absolutePath(), source.fileName())).message;
    }
    }
    return QString();
}

bool makeSparseFile(const QString &path, qint64 size)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.resize(size);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

Q_DECLARE_METATYPE(Reader)

class TestResourceLimits : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hugeFileIsRefusedUnread_data()
    {
        QTest::addColumn<Reader>("reader");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("limit");
        QTest::newRow("Praxedo.xml") << Reader::Settings << QStringLiteral("Praxedo.xml") << QStringLiteral("1 MiB");
        QTest::newRow("ParGen.xml, settings window")
            << Reader::ParGenSettingsWindow << QStringLiteral("ParGen.xml") << QStringLiteral("1 MiB");
        QTest::newRow("ParGen.xml, filter window")
            << Reader::ParGenFilterWindow << QStringLiteral("ParGen.xml") << QStringLiteral("1 MiB");
        QTest::newRow("ParGen.xml, image builder")
            << Reader::ParGenImageBuilder << QStringLiteral("ParGen.xml") << QStringLiteral("1 MiB");
        QTest::newRow("ParGen.xml, device type")
            << Reader::SelectType << QStringLiteral("ParGen.xml") << QStringLiteral("1 MiB");
        QTest::newRow("CanCanCobID.xml") << Reader::CobIdDocument << QStringLiteral("CanCanCobID.xml")
                                         << QStringLiteral("16 MiB");
        QTest::newRow("language file") << Reader::LanguageFile << QStringLiteral("English.lng")
                                       << QStringLiteral("8 MiB");
        QTest::newRow("firmware") << Reader::Firmware << QStringLiteral("FX58104.sx") << QStringLiteral("64 MiB");
        QTest::newRow("image build, ParGen.xml")
            << Reader::ImageBuildParGen << QStringLiteral("ParGen.xml") << QStringLiteral("1 MiB");
        QTest::newRow("image build, CanCanCobID.xml")
            << Reader::ImageBuildCobId << QStringLiteral("CanCanCobID.xml") << QStringLiteral("16 MiB");
    }

    // 300 MB that take no disk space: refused from the file's size alone.
    void hugeFileIsRefusedUnread()
    {
        QFETCH(Reader, reader);
        QFETCH(QString, fileName);
        QFETCH(QString, limit);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(fileName);
        QVERIFY(makeSparseFile(path, 300ll * 1024 * 1024));
        const QString error = readWith(reader, path, dir.path());
        QCOMPARE(error,
                 QStringLiteral(
                     "Cannot read %1: the file is larger than %2, the most this program reads for such a file")
                     .arg(QDir::toNativeSeparators(path), limit));
    }

    // A device that never ends is not read at all.
    void endlessDeviceIsRefused()
    {
#ifdef Q_OS_UNIX
        QByteArray bytes;
        const QString error = FileIo::readFile(QStringLiteral("/dev/zero"), bytes, 4096);
        QCOMPARE(error,
                 QStringLiteral("Cannot read /dev/zero: it is not a regular file (a folder, device, pipe or socket)"));
        QVERIFY(bytes.isEmpty());
#else
        QSKIP("no endless device file here");
#endif
    }

    void fileAtTheLimitIsRead()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f"));
        QVERIFY(writeFile(path, QByteArray(1000, 'x')));
        QByteArray bytes;
        QCOMPARE(FileIo::readFile(path, bytes, 1000), QString());
        QCOMPARE(bytes.size(), 1000);
        QVERIFY(!FileIo::readFile(path, bytes, 999).isEmpty());
    }

    // Under the byte limit, but a tree of a million nodes: refused before it is built.
    // Under the byte limit, but a tree of a million nodes, or a shape whose parsing takes
    // minutes: refused before any parsing.
    void documentOfHarmfulShape_data()
    {
        QTest::addColumn<Reader>("reader");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("why");
        const QString tooManyNodes =
            QStringLiteral("it holds more than %1 XML elements, attributes and texts").arg(XmlFile::MaxNodes);
        const QByteArray elements = QByteArray("<a/>").repeated(250000);
        QByteArray attributes = "<CanCanCobID><Can0_to_Can1><row";
        for (int i = 0; i < 5000; ++i)
            attributes += " a" + QByteArray::number(i, 36) + "=''";
        attributes += "/></Can0_to_Can1><Can1_to_Can0/></CanCanCobID>";
        const QByteArray rows = "<CanCanCobID><Can0_to_Can1>" + QByteArray("<r/>").repeated(300000)
            + "</Can0_to_Can1><Can1_to_Can0/></CanCanCobID>";
        const QByteArray deep = QByteArray("<a>").repeated(100000) + QByteArray("</a>").repeated(100000);
        QTest::newRow("ParGen.xml elements") << Reader::ParGenSettingsWindow << QStringLiteral("ParGen.xml")
                                             << "<Par_Gen>" + elements + "</Par_Gen>" << tooManyNodes;
        QTest::newRow("Praxedo.xml elements") << Reader::Settings << QStringLiteral("Praxedo.xml")
                                              << "<Conf_Settings>" + elements + "</Conf_Settings>" << tooManyNodes;
        QTest::newRow("CanCanCobID.xml rows")
            << Reader::CobIdDocument << QStringLiteral("CanCanCobID.xml") << rows << tooManyNodes;
        QTest::newRow("CanCanCobID.xml rows, image build")
            << Reader::ImageBuildCobId << QStringLiteral("CanCanCobID.xml") << rows << tooManyNodes;
        QTest::newRow("CanCanCobID.xml attributes, image build")
            << Reader::ImageBuildCobId << QStringLiteral("CanCanCobID.xml") << attributes
            << QStringLiteral("an element holds more than %1 attributes").arg(XmlFile::MaxAttributes);
        QTest::newRow("CanCanCobID.xml attributes")
            << Reader::CobIdDocument << QStringLiteral("CanCanCobID.xml") << attributes
            << QStringLiteral("an element holds more than %1 attributes").arg(XmlFile::MaxAttributes);
        QTest::newRow("ParGen.xml nesting")
            << Reader::ParGenImageBuilder << QStringLiteral("ParGen.xml") << deep
            << QStringLiteral("its elements are nested more than %1 deep").arg(XmlFile::MaxDepth);
    }

    void documentOfHarmfulShape()
    {
        QFETCH(Reader, reader);
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);
        QTemporaryDir dir;
        const QString path = dir.filePath(fileName);
        QVERIFY(writeFile(path, bytes));
        QCOMPARE(readWith(reader, path, dir.path()),
                 QStringLiteral("%1 is not a document this program reads: %2")
                     .arg(QDir::toNativeSeparators(path), why));
    }

    // Entities expand inside the parser, past the counts on the file: one holding markup, one
    // holding references to others, parameter entities and default attributes are refused, and
    // plain text entities only while what they expand to stays within the file's own size.
    void documentTypeTricks_data()
    {
        QTest::addColumn<Reader>("reader");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("why");
        const auto cobId = [](const QByteArray &subset, const QByteArray &rows) {
            return "<!DOCTYPE CanCanCobID [" + subset + "]><CanCanCobID><Can0_to_Can1>" + rows
                + "</Can0_to_Can1><Can1_to_Can0/></CanCanCobID>";
        };
        const QByteArray markup =
            cobId("<!ENTITY e \"" + QByteArray("<a/>").repeated(900) + "\">", QByteArray("&e;").repeated(3000));
        const QString markupWhy =
            QStringLiteral("its document type declares the entity e holding markup or references");
        QTest::newRow("markup entity, filter window")
            << Reader::CobIdDocument << QStringLiteral("CanCanCobID.xml") << markup << markupWhy;
        QTest::newRow("markup entity, image build")
            << Reader::ImageBuildCobId << QStringLiteral("CanCanCobID.xml") << markup << markupWhy;
        QTest::newRow("markup entity, Praxedo.xml") << Reader::Settings << QStringLiteral("Praxedo.xml")
                                                    << "<!DOCTYPE C [<!ENTITY e \"" + QByteArray("<a/>").repeated(900)
                + "\">]><C>" + QByteArray("&e;").repeated(3000) + "</C>"
                                                    << markupWhy;
        QTest::newRow("markup by character reference")
            << Reader::ParGenSettingsWindow << QStringLiteral("ParGen.xml")
            << QByteArray("<!DOCTYPE P [<!ENTITY e '&#60;a/>'>]><P>&e;&e;</P>") << markupWhy;
        QByteArray laughs = "<!ENTITY e \"lol\">";
        for (int i = 1; i < 10; ++i)
            laughs += "<!ENTITY e" + QByteArray::number(i) + " \"" + QByteArray("&e;").repeated(10) + "\">";
        QTest::newRow("billion laughs") << Reader::ImageBuildCobId << QStringLiteral("CanCanCobID.xml")
                                        << cobId(laughs, "<row Desc='&e9;'/>")
                                        << QStringLiteral(
                                               "its document type declares the entity e1 holding markup or references");
        QTest::newRow("parameter entity") << Reader::CobIdDocument << QStringLiteral("CanCanCobID.xml")
                                          << cobId("<!ENTITY % p \"<!ENTITY e 'x'>\"> %p;", "")
                                          << QStringLiteral("its document type declares a parameter entity");
        QTest::newRow("default attributes")
            << Reader::CobIdDocument << QStringLiteral("CanCanCobID.xml")
            << cobId("<!ATTLIST row Orig_CobID CDATA '5' Desc CDATA #FIXED 'x'>", "<row/>")
            << QStringLiteral("its document type declares default attribute values");
        QTest::newRow("text entity used often")
            << Reader::ImageBuildCobId << QStringLiteral("CanCanCobID.xml")
            << cobId("<!ENTITY e \"" + QByteArray(4000, 'x') + "\">", QByteArray("<row Desc='&e;'/>").repeated(3000))
            << QStringLiteral("its entity references expand to more text than the file holds");
        QTest::newRow("text entity used a few times")
            << Reader::CobIdDocument << QStringLiteral("CanCanCobID.xml")
            << cobId("<!ENTITY e \"a description\">", QByteArray("<row Orig_CobID='1' Desc='&e;'/>").repeated(20))
            << QString();
        QTest::newRow("external entity never fetched")
            << Reader::CobIdDocument << QStringLiteral("CanCanCobID.xml")
            << cobId("<!ENTITY e SYSTEM \"http://127.0.0.1:9/x\">", "<row Orig_CobID='1'/>") << QString();
    }

    void documentTypeTricks()
    {
        QFETCH(Reader, reader);
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);
        QTemporaryDir dir;
        const QString path = dir.filePath(fileName);
        QVERIFY(writeFile(path, bytes));
        const QString error = readWith(reader, path, dir.path());
        if (why.isEmpty())
            QVERIFY2(!error.contains(QLatin1String("not a document this program reads")), qPrintable(error));
        else
            QCOMPARE(error,
                     QStringLiteral("%1 is not a document this program reads: %2")
                         .arg(QDir::toNativeSeparators(path), why));
    }

    // The shape is counted on the characters the parser decodes: UTF-16 of either byte order
    // reads as UTF-8 does, and an encoding whose bytes hide the markup hides nothing.
    void shapeOnDecodedText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("why");
        CobIdDocument doc;
        for (int r = 0; r < 300; ++r) {
            doc.table(0).setCell(r, 0, QString::number(r));
            doc.table(0).setCell(r, 1, QStringLiteral("2.0A 11bits"));
            doc.table(0).setCell(r, 4, QStringLiteral("Zähler %1 ✓").arg(r));
        }
        QByteArray utf8;
        QVERIFY(doc.toBytes(utf8).isEmpty());
        const QString text = QString::fromUtf8(utf8);
        QStringEncoder le(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
        QStringEncoder be(QStringConverter::Utf16BE, QStringConverter::Flag::WriteBom);
        QStringEncoder leBare(QStringConverter::Utf16LE);
        QTest::newRow("UTF-8") << utf8 << QString();
        QTest::newRow("UTF-16 LE with BOM") << QByteArray(le.encode(text)) << QString();
        QTest::newRow("UTF-16 BE with BOM") << QByteArray(be.encode(text)) << QString();
        QTest::newRow("UTF-16 LE without BOM") << QByteArray(leBare.encode(text)) << QString();
        const QString deep = QStringLiteral("<a>").repeated(100) + QStringLiteral("</a>").repeated(100);
        QStringEncoder le2(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
        QTest::newRow("UTF-16 too deep") << QByteArray(
            le2.encode(deep)) << QStringLiteral("its elements are nested more than %1 deep").arg(XmlFile::MaxDepth);
        QStringEncoder ebcdic("IBM037");
        if (ebcdic.isValid()) {
            QTest::newRow("EBCDIC elements")
                << "<?xml version=\"1.0\" encoding=\"IBM037\"?>"
                    + QByteArray(ebcdic.encode(QStringLiteral("<a/>").repeated(250000)))
                << QStringLiteral("it holds more than %1 XML elements, attributes and texts").arg(XmlFile::MaxNodes);
        }
        QTest::newRow("unknown encoding") << QByteArray("<?xml version='1.0' encoding='no-such-code'?><a/>")
                                          << QStringLiteral("its encoding no-such-code is not one this program reads");
    }

    void shapeOnDecodedText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);
        QCOMPARE(XmlFile::shapeError(bytes, QStringLiteral("x")),
                 why.isEmpty() ? QString() : QStringLiteral("x is not a document this program reads: ") + why);
        if (!QTest::currentDataTag() || !QByteArray(QTest::currentDataTag()).startsWith("UTF-") || !why.isEmpty())
            return;
        // The filter window reads the same tables from either encoding.
        CobIdDocument read;
        QCOMPARE(read.read(bytes, QStringLiteral("x")), QString());
        QCOMPARE(read.table(0).usedRowCount(), 300);
        QCOMPARE(read.table(0).cell(299, 4), QStringLiteral("Zähler 299 ✓"));
    }

    // Quotes, comments, a declaration and markup inside attribute values do not upset the count.
    void shapeOfOrdinaryDocuments()
    {
        const QByteArray text = "<?xml version='1.0'?><!DOCTYPE x [<!ENTITY e 'a>b'>]><!-- <a b=c d=e> -->"
                                "<CanCanCobID><Can0_to_Can1><row Orig_CobID=\"1\" Desc=\"a=b &gt; 'c' = d\"/>"
                                "<![CDATA[<x y=z>]]></Can0_to_Can1><Can1_to_Can0/></CanCanCobID>";
        QDomDocument doc;
        QCOMPARE(XmlFile::parse(text, QStringLiteral("x"), doc), QString());
        const QByteArray nested =
            QByteArray("<a>").repeated(XmlFile::MaxDepth) + QByteArray("</a>").repeated(XmlFile::MaxDepth);
        QCOMPARE(XmlFile::parse(nested, QStringLiteral("x"), doc), QString());
    }

    // An import file of many short rows is refused at the first row no table can take, before
    // the rest is kept in memory; empty lines cost nothing.
    void importOfTooManyRows_data()
    {
        QTest::addColumn<bool>("dbc");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("line");
        QTest::newRow("CSV") << false
                             << "Original CobID,Type CobID,Modify CobID,Type CobID,Mnemonic\r\n"
                + QByteArray("\r\n").repeated(1000) + QByteArray("1,,,,\r\n").repeated(100000)
                             << 1001 + 2049;
        QByteArray messages = QByteArray("\n").repeated(1000);
        for (int i = 0; i < 3000; ++i)
            messages += "BO_ " + QByteArray::number(i % 2048) + " M" + QByteArray::number(i) + ": 8 ECU\n";
        QTest::newRow("DBC") << true << messages << 1000 + 2049;
    }

    void importOfTooManyRows()
    {
        QFETCH(bool, dbc);
        QFETCH(QByteArray, bytes);
        QFETCH(int, line);
        std::vector<ImportedRow> rows;
        const QString error = dbc ? DbcImport::parse(bytes, QStringLiteral("f"), false, rows)
                                  : CobIdCsv::parse(bytes, QStringLiteral("f"), rows);
        QCOMPARE(error, QStringLiteral("f, line %1: more than 2048 rows; a table has 2048 rows").arg(line));
        QVERIFY(rows.empty());
    }

    // Two full filter tables stay well inside the node limit.
    void fullFilterTablesAreRead()
    {
        CobIdDocument doc;
        for (int t = 0; t < CobIdDocument::TableCount; ++t)
            doc.table(t).compileAll();
        QByteArray bytes;
        QCOMPARE(doc.toBytes(bytes), QString());
        CobIdDocument back;
        QCOMPARE(back.read(bytes, QStringLiteral("CanCanCobID.xml")), QString());
        QVERIFY(back == doc);
    }

    // A 20 MB header line and a 20 MB data record in the bank's range: copied and replaced as
    // any other line.
    void longSrecLines()
    {
        const QByteArray header = "S0" + QByteArray(20 * 1024 * 1024, 'A');
        const QByteArray longRecord = "S2FF388000" + QByteArray(20 * 1024 * 1024, '0');
        const QByteArray source = header + "\r\n" + longRecord + "\r\nS9030000FC\r\n";
        const QByteArray records =
            SrecMerge::bankRecords(SrecMerge::bankFirstAddress(1), QByteArray(SrecMerge::BankSize, '\x5A'));
        const SrecMerge::TextMerge merged = SrecMerge::mergeText(source, 1, records);
        QCOMPARE(merged.result, 1);
        QCOMPARE(merged.bytes, header + "\r\n" + records + "S9030000FC\r\n");
    }
};

QTEST_GUILESS_MAIN(TestResourceLimits)
#include "tst_resourcelimits.moc"
