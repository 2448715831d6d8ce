// Files far larger than any the program writes are refused before they are read, with a
// message that names the file and the limit; documents that would need a huge tree are
// refused before it is built; long S-record lines cost no more than their bytes.
#include "core/app/AppState.h"
#include "core/app/FileIo.h"
#include "core/app/SettingsFile.h"
#include "core/app/XmlFile.h"
#include "core/config/CobIdCsv.h"
#include "core/config/CobIdDocument.h"
#include "core/config/DbcImport.h"
#include "core/config/ParGen.h"
#include "core/config/SelectType.h"
#include "core/i18n/Catalog.h"
#include "core/image/ConfigBuilder.h"
#include "core/image/SrecMerge.h"

#include <QDir>
#include <QFile>
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
        if (catalog.Load_Lang_File(path, version, &error))
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
        return reader == Reader::ImageBuildParGen ? builder.Build_Config(path, other) : builder.Build_Config(other, path);
    }
    case Reader::Firmware: {
        const QString project = QDir(workDir).filePath(QStringLiteral("P"));
        QDir().mkpath(project + QStringLiteral("/bin"));
        for (int k = 1; k <= 2; ++k) {
            QFile bank(QDir(project).filePath(QStringLiteral("bin/bank%1.bin").arg(k)));
            if (!bank.open(QIODevice::WriteOnly) || bank.write(QByteArray(SrecMerge::BankSize, '\xFF')) != SrecMerge::BankSize)
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
        QTest::newRow("ParGen.xml, device type") << Reader::SelectType << QStringLiteral("ParGen.xml") << QStringLiteral("1 MiB");
        QTest::newRow("CanCanCobID.xml")
            << Reader::CobIdDocument << QStringLiteral("CanCanCobID.xml") << QStringLiteral("16 MiB");
        QTest::newRow("language file") << Reader::LanguageFile << QStringLiteral("English.lng") << QStringLiteral("8 MiB");
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
                 QStringLiteral("Cannot read %1: the file is larger than %2, the most this program reads for such a file")
                     .arg(QDir::toNativeSeparators(path), limit));
    }

    // A device that never ends is not read at all.
    void endlessDeviceIsRefused()
    {
#ifdef Q_OS_UNIX
        QByteArray bytes;
        const QString error = FileIo::readFile(QStringLiteral("/dev/zero"), bytes, 4096);
        QCOMPARE(error, QStringLiteral("Cannot read /dev/zero: it is not a regular file (a folder, device, pipe or socket)"));
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
        QTest::newRow("CanCanCobID.xml rows") << Reader::CobIdDocument << QStringLiteral("CanCanCobID.xml") << rows
                                              << tooManyNodes;
        QTest::newRow("CanCanCobID.xml rows, image build")
            << Reader::ImageBuildCobId << QStringLiteral("CanCanCobID.xml") << rows << tooManyNodes;
        QTest::newRow("CanCanCobID.xml attributes, image build")
            << Reader::ImageBuildCobId << QStringLiteral("CanCanCobID.xml") << attributes
            << QStringLiteral("an element holds more than %1 attributes").arg(XmlFile::MaxAttributes);
        QTest::newRow("CanCanCobID.xml attributes")
            << Reader::CobIdDocument << QStringLiteral("CanCanCobID.xml") << attributes
            << QStringLiteral("an element holds more than %1 attributes").arg(XmlFile::MaxAttributes);
        QTest::newRow("ParGen.xml nesting") << Reader::ParGenImageBuilder << QStringLiteral("ParGen.xml") << deep
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
                 QStringLiteral("%1 is not a document this program reads: %2").arg(QDir::toNativeSeparators(path), why));
    }

    // Quotes, comments, a declaration and markup inside attribute values do not upset the count.
    void shapeOfOrdinaryDocuments()
    {
        const QByteArray text = "<?xml version='1.0'?><!DOCTYPE x [<!ENTITY e 'a>b'>]><!-- <a b=c d=e> -->"
                                "<CanCanCobID><Can0_to_Can1><row Orig_CobID=\"1\" Desc=\"a=b &gt; 'c' = d\"/>"
                                "<![CDATA[<x y=z>]]></Can0_to_Can1><Can1_to_Can0/></CanCanCobID>";
        QDomDocument doc;
        QCOMPARE(XmlFile::parse(text, QStringLiteral("x"), doc), QString());
        const QByteArray nested = QByteArray("<a>").repeated(XmlFile::MaxDepth) + QByteArray("</a>").repeated(XmlFile::MaxDepth);
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
                             << "Original CobID,Type CobID,Modify CobID,Type CobID,Mnemonic\r\n" + QByteArray("\r\n").repeated(1000)
                + QByteArray("1,,,,\r\n").repeated(100000)
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
        const QByteArray records = SrecMerge::bankRecords(SrecMerge::bankFirstAddress(1), QByteArray(SrecMerge::BankSize, '\x5A'));
        const SrecMerge::TextMerge merged = SrecMerge::mergeText(source, 1, records);
        QCOMPARE(merged.result, 1);
        QCOMPARE(merged.bytes, header + "\r\n" + records + "S9030000FC\r\n");
    }
};

QTEST_GUILESS_MAIN(TestResourceLimits)
#include "tst_resourcelimits.moc"
