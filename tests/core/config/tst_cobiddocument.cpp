#include "core/base/Catalog.h"
#include "core/config/CobIdDocument.h"
#include "core/config/ParGen.h"

#include "TestPaths.h"
#include "core/FailDevice.h"

#include <QBuffer>
#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString &A = CobIdTable::type11Bit();
const QString &B = CobIdTable::type29Bit();

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QString writeFile(const QTemporaryDir &dir, const QByteArray &bytes)
{
    const QString path = dir.filePath(QStringLiteral("CanCanCobID.xml"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return QString();
    return path;
}

void setRow(CobIdTable &t, int r, const QStringList &cells)
{
    for (int c = 0; c < cells.size(); ++c)
        t.setCell(r, c, cells.at(c));
}

ParGenFilterValues deviceType0(int can0Type, int can1Type, bool positive = true)
{
    ParGenFilterValues v;
    v.deviceType = 0;
    v.can0Type = can0Type;
    v.can1Type = can1Type;
    v.positive = positive;
    return v;
}

QByteArray written(const CobIdDocument &doc)
{
    QByteArray bytes;
    const QString error = doc.toBytes(bytes);
    return error.isEmpty() ? bytes : error.toUtf8();
}

// The edited document of the golden file.
CobIdDocument edited()
{
    CobIdDocument doc;
    setRow(doc.table(0), 0, {u" 5"_qs, A, u"0x181"_qs, B, u"Motor \"A\" & B"_qs});
    setRow(doc.table(0), 1, {u"0x1FFFFFFF"_qs, B, QString(), QString(), QString()});
    setRow(doc.table(0), 3, {u"9"_qs, A, u"9"_qs, A, u"beyond the end"_qs});
    setRow(doc.table(1), 0, {u" "_qs, A, u"1"_qs, A, u"blank original ends the table"_qs});
    setRow(doc.table(1), 1, {u"1"_qs, A, u"1"_qs, A, QString()});
    return doc;
}

QByteArray listWithRows(int count)
{
    QByteArray rows;
    for (int i = 0; i < count; ++i)
        rows += "<row Orig_CobID=\"" + QByteArray::number(i) + "\" Type_CobID=\"2.0A 11bits\"/>";
    return "<CanCanCobID><Can0_to_Can1>" + rows + "</Can0_to_Can1><Can1_to_Can0/></CanCanCobID>";
}

} // namespace

class TestCobIdDocument : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();

    void missingFileLeavesThePreparedTables();
    void goldenBytes();
    void roundTrip();
    void readsEveryChildNodeAsARow();
    void deviceType0TakesTypesFromThePorts();
    void compileAllWritesEveryIdentifierInDecimal();
    void cancelAllWritesAnEmptyList();
    void moreThan2048RowsAreReadUpTo2048();
    void rowsPastTheTableEndAreReported_data();
    void rowsPastTheTableEndAreReported();
    void cellLengthIsCapped();
    void utf16FileReadsAsUtf8Does();
    void tablesTooLargeToReadAreNotWritten();
    void documentsWithOnlyRowElementsReadAsThroughTheTree_data();
    void documentsWithOnlyRowElementsReadAsThroughTheTree();
    void unreadableDocuments_data();
    void unreadableDocuments();

    void validation_data();
    void validation();
    void firstTableIsValidatedFirst();
    void messageIsComposed();

    void failedSaveKeepsThePreviousFile();
    void failingDeviceReportsItsError();

private:
    Catalog m_catalog;
};

void TestCobIdDocument::initTestCase()
{
    m_catalog.Load_Default_Texts();
}

void TestCobIdDocument::missingFileLeavesThePreparedTables()
{
    QTemporaryDir dir;
    CobIdDocument doc(deviceType0(1, 0));
    CobIdDocument::ReadReport report;
    QCOMPARE(doc.read(dir.filePath(QStringLiteral("CanCanCobID.xml")), &report), QString());
    QVERIFY(!report.hasSurplus());
    QCOMPARE(doc.table(0).usedRowCount(), 0);
    QCOMPARE(doc.table(0).cell(100, CobIdTable::TypeCobId), B);
    QCOMPARE(doc.table(0).cell(100, CobIdTable::TypeMCobId), A);
    QCOMPARE(doc.table(1).cell(100, CobIdTable::TypeCobId), A);
    QCOMPARE(doc.table(1).cell(100, CobIdTable::TypeMCobId), B);

    // Device type 1 (and a project without ParGen.xml): every type cell starts empty.
    const CobIdDocument plain{ParGenFilterValues()};
    QVERIFY(plain == CobIdDocument());
}

void TestCobIdDocument::goldenBytes()
{
    const QByteArray expected = fileBytes(TestPaths::data(QStringLiteral("config/CanCanCobID-edited.xml")));
    const CobIdDocument doc = edited();
    // Only used rows are written: row 4 of the first table and the whole second table are not.
    QCOMPARE(written(doc), expected);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CanCanCobID.xml"));
    QCOMPARE(doc.save(path), QString());
    QCOMPARE(fileBytes(path), expected);

    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QCOMPARE(doc.write(buffer), QString());
    QCOMPARE(buffer.data(), expected);
}

void TestCobIdDocument::roundTrip()
{
    CobIdDocument doc;
    setRow(doc.table(0), 0, {u"385"_qs, A, u"$181"_qs, A, u"tab\there, line\nbreak, cr\r, <&>'\""_qs});
    setRow(doc.table(0), 1, {u"5 "_qs, u"anything"_qs, QString(), QString(), u"  "_qs});
    setRow(doc.table(1), 0, {u"0x100"_qs, B, u"0x200"_qs, B, QString::fromUtf8("Überlast €")});
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CanCanCobID.xml"));
    QCOMPARE(doc.save(path), QString());

    CobIdDocument back;
    QCOMPARE(back.read(path), QString());
    QVERIFY(back == doc);
}

void TestCobIdDocument::readsEveryChildNodeAsARow()
{
    CobIdDocument doc;
    // What the window left in a row is replaced by what the file says, missing attributes included.
    setRow(doc.table(0), 1, {u"old"_qs, A, u"old"_qs, A, u"old"_qs});
    QCOMPARE(doc.read(TestPaths::data(QStringLiteral("config/CanCanCobID-lenient.xml"))), QString());

    const CobIdTable &t = doc.table(0);
    QCOMPARE(t.Copy_Row(0), (QStringList{u"385"_qs, A, u"386"_qs, A, u"first"_qs}));
    QCOMPARE(t.Copy_Row(1),
             (QStringList{u"0x7FF"_qs, QString(), QString(), QString(), u"any element name is a row"_qs}));
    QCOMPARE(t.Copy_Row(2), QStringList(5, QString())); // the comment
    QCOMPARE(t.Copy_Row(3).at(CobIdTable::Desc), QStringLiteral("after the end"));
    QCOMPARE(t.usedRowCount(), 2);
    QCOMPARE(doc.table(1).Copy_Row(0), (QStringList{u"0x100"_qs, B, u"0x200"_qs, B, u"second"_qs}));
    QCOMPARE(doc.table(1).usedRowCount(), 1);
}

void TestCobIdDocument::deviceType0TakesTypesFromThePorts()
{
    // CAN 0 at 29-bit, CAN 1 at 11-bit; the file says otherwise.
    CobIdDocument doc(deviceType0(1, 0));
    QCOMPARE(doc.read(TestPaths::data(QStringLiteral("config/CanCanCobID-lenient.xml"))), QString());
    QCOMPARE(doc.table(0).Copy_Row(0), (QStringList{u"385"_qs, B, u"386"_qs, A, u"first"_qs}));
    QCOMPARE(doc.table(0).Copy_Row(2), (QStringList{QString(), B, QString(), A, QString()}));
    QCOMPARE(doc.table(1).Copy_Row(0), (QStringList{u"0x100"_qs, A, u"0x200"_qs, B, u"second"_qs}));

    QDomDocument dom;
    QVERIFY(dom.setContent(written(doc)));
    const QDomElement list0 = dom.documentElement().firstChildElement(QStringLiteral("Can0_to_Can1"));
    const QDomElement list1 = dom.documentElement().firstChildElement(QStringLiteral("Can1_to_Can0"));
    QCOMPARE(list0.childNodes().size(), 2);
    for (QDomElement row = list0.firstChildElement(); !row.isNull(); row = row.nextSiblingElement()) {
        QCOMPARE(row.attribute(QStringLiteral("Type_CobID")), B);
        QCOMPARE(row.attribute(QStringLiteral("Type_MCobID")), A);
    }
    QCOMPARE(list1.firstChildElement().attribute(QStringLiteral("Type_CobID")), A);
    QCOMPARE(list1.firstChildElement().attribute(QStringLiteral("Type_MCobID")), B);
}

void TestCobIdDocument::compileAllWritesEveryIdentifierInDecimal()
{
    CobIdDocument doc = edited();
    doc.table(0).compileAll();
    const QByteArray bytes = written(doc);
    QVERIFY(bytes.startsWith("<CanCanCobID><Can0_to_Can1><row Orig_CobID=\"0\" Type_CobID=\"2.0A 11bits\" "
                             "Mod_CobID=\"0\" Type_MCobID=\"2.0A 11bits\" Desc=\"\"/>"));
    QVERIFY(bytes.contains("<row Orig_CobID=\"2047\" Type_CobID=\"2.0A 11bits\" Mod_CobID=\"2047\" "
                           "Type_MCobID=\"2.0A 11bits\" Desc=\"\"/></Can0_to_Can1>"));
    CobIdDocument back;
    QCOMPARE(back.read(bytes, QStringLiteral("compiled")), QString());
    QCOMPARE(back.table(0).usedRowCount(), 2048);
    QVERIFY(back.table(0) == doc.table(0));
    QVERIFY(!back.Controllo_dati(true));
}

void TestCobIdDocument::cancelAllWritesAnEmptyList()
{
    CobIdDocument doc = edited();
    doc.table(1).setCell(0, CobIdTable::OrigCobId, QStringLiteral("3"));
    const QByteArray before = written(doc);
    doc.table(0).cancelAll();
    const QByteArray after = written(doc);
    QVERIFY(after.startsWith("<CanCanCobID><Can0_to_Can1/><Can1_to_Can0><row Orig_CobID=\"3\""));
    QCOMPARE(after.mid(after.indexOf("<Can1_to_Can0>")), before.mid(before.indexOf("<Can1_to_Can0>")));
}

void TestCobIdDocument::moreThan2048RowsAreReadUpTo2048()
{
    CobIdDocument doc;
    CobIdDocument::ReadReport report;
    QCOMPARE(doc.read(listWithRows(2051), QStringLiteral("big.xml"), &report), QString());
    QCOMPARE(report.surplusRows[0], 3);
    QCOMPARE(report.surplusRows[1], 0);
    QCOMPARE(doc.table(0).usedRowCount(), 2048);
    QCOMPARE(doc.table(0).cell(2047, CobIdTable::OrigCobId), QStringLiteral("2047"));
    const QString warning = CobIdDocument::surplusWarning(report, QStringLiteral("big.xml"));
    QVERIFY2(warning.contains(QStringLiteral("big.xml")) && warning.contains(QStringLiteral("3 rows"))
                 && warning.contains(QStringLiteral("Can0_to_Can1")),
             qPrintable(warning));

    QCOMPARE(doc.read(listWithRows(2048), QStringLiteral("full.xml"), &report), QString());
    QVERIFY(!report.hasSurplus());
    QCOMPARE(CobIdDocument::surplusWarning(report, QStringLiteral("full.xml")), QString());
}

// A node among the rows that is no row with an Original CobID ends the table for the
// editors, while a build reads every node: the report says where and how many.
void TestCobIdDocument::rowsPastTheTableEndAreReported_data()
{
    QTest::addColumn<QByteArray>("between"); // put between rows 2 and 3 of five
    QTest::addColumn<int>("hidden");
    QTest::addColumn<QString>("node");
    QTest::newRow("comment") << QByteArray("<!-- hand edit -->") << 4 << QStringLiteral("a comment");
    QTest::newRow("text") << QByteArray("stray") << 4 << QStringLiteral("a text");
    QTest::newRow("CDATA") << QByteArray("<![CDATA[x]]>") << 4 << QStringLiteral("a CDATA section");
    QTest::newRow("processing instruction")
        << QByteArray("<?note x?>") << 4 << QStringLiteral("a processing instruction");
    QTest::newRow("row without identifier")
        << QByteArray("<row Orig_CobID=\" \" Desc=\"x\"/>") << 4 << QStringLiteral("a row without Original CobID");
    QTest::newRow("blanks only") << QByteArray("\n   \t") << 0 << QString();
}

void TestCobIdDocument::rowsPastTheTableEndAreReported()
{
    QFETCH(QByteArray, between);
    QFETCH(int, hidden);
    QFETCH(QString, node);
    QByteArray rows;
    for (int i = 0; i < 5; ++i)
        rows += (i == 2 ? between : QByteArray()) + "<row Orig_CobID=\"" + QByteArray::number(i) + "\"/>";
    const QByteArray document = "<CanCanCobID><Can0_to_Can1/><Can1_to_Can0>" + rows + "</Can1_to_Can0></CanCanCobID>";
    CobIdDocument doc;
    CobIdDocument::ReadReport report;
    QCOMPARE(doc.read(document, QStringLiteral("f.xml"), &report), QString());
    QCOMPARE(report.hiddenRows[0], 0);
    QCOMPARE(report.hiddenRows[1], hidden);
    QCOMPARE(report.hasHidden(), hidden > 0);
    QCOMPARE(doc.table(1).usedRowCount(), hidden ? 2 : 5);
    const QString warning = CobIdDocument::warning(report, QStringLiteral("f.xml"));
    if (hidden == 0) {
        QCOMPARE(warning, QString());
        return;
    }
    QCOMPARE(report.endRow[1], 3);
    QCOMPARE(report.endNode[1], node);
    QVERIFY2(warning.startsWith(QStringLiteral("f.xml: In Can1_to_Can0 (From CAN 1 to CAN 0), row 3 is %1, which ends "
                                               "the table: the 4 rows from row 3 on are not shown")
                                    .arg(node)),
             qPrintable(warning));
    // Deleting the row that ends the table takes the others back in.
    doc.table(1).Delete_Row(2);
    QCOMPARE(doc.table(1).usedRowCount(), 5);
}

// One cell may hold at most MaxCellLength characters: longer is refused when read and never
// written.
void TestCobIdDocument::cellLengthIsCapped()
{
    const QString fits(CobIdTable::MaxCellLength, u'd');
    const QByteArray document = "<CanCanCobID><Can0_to_Can1><row Orig_CobID=\"1\" Desc=\"" + fits.toUtf8()
        + "\"/><row Orig_CobID=\"2\" Desc=\"" + fits.toUtf8() + "d\"/></Can0_to_Can1><Can1_to_Can0/></CanCanCobID>";
    CobIdDocument doc;
    doc.table(0).setCell(0, CobIdTable::OrigCobId, QStringLiteral("untouched"));
    QCOMPARE(doc.read(document, QStringLiteral("long.xml")),
             QStringLiteral(
                 "long.xml is not a document this program reads: in row 2 of Can0_to_Can1 the Mnemonic holds "
                 "1025 characters; a cell holds at most 1024"));
    QCOMPARE(doc.table(0).cell(0, CobIdTable::OrigCobId), QStringLiteral("untouched"));

    CobIdDocument tables;
    tables.table(1).setCell(0, CobIdTable::OrigCobId, QStringLiteral("1"));
    tables.table(1).setCell(0, CobIdTable::Desc, fits);
    QByteArray bytes;
    QCOMPARE(tables.toBytes(bytes), QString());
    tables.table(1).setCell(0, CobIdTable::Desc, fits + u'd');
    QCOMPARE(tables.toBytes(bytes),
             QStringLiteral("In row 1 of \"From CAN 1 to CAN 0\" the Mnemonic holds 1025 "
                            "characters; a cell holds at most 1024"));
}

// What Windows editors save as "Unicode": UTF-16 with a byte-order mark, indented, 80 rows.
void TestCobIdDocument::utf16FileReadsAsUtf8Does()
{
    CobIdDocument doc;
    CobIdDocument::ReadReport report;
    QCOMPARE(doc.read(TestPaths::data(QStringLiteral("config/CanCanCobID-utf16.xml")), &report), QString());
    QVERIFY(!report.hasHidden());
    QCOMPARE(doc.table(0).usedRowCount(), 80);
    QCOMPARE(doc.table(0).cell(79, CobIdTable::Desc), QStringLiteral("Zähler 79"));
}

// Escaping makes a text longer in the file ("&" takes five bytes): tables whose file would
// pass the read limit are refused before anything is written, so every file written reads.
void TestCobIdDocument::tablesTooLargeToReadAreNotWritten()
{
    CobIdDocument doc;
    const QString amps(CobIdTable::MaxCellLength, u'&');
    for (int t = 0; t < CobIdDocument::TableCount; ++t) {
        for (int r = 0; r < CobIdTable::RowCount; ++r) {
            doc.table(t).setCell(r, CobIdTable::OrigCobId, QString::number(r));
            for (int c : {int(CobIdTable::ModCobId), int(CobIdTable::Desc)})
                doc.table(t).setCell(r, c, amps);
        }
    }
    QByteArray bytes;
    const QString error = doc.toBytes(bytes);
    QVERIFY2(error.contains(QStringLiteral("more than the 16777216 bytes (16 MiB) a filter document may hold")),
             qPrintable(error));
    QVERIFY(bytes.isEmpty());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CanCanCobID.xml"));
    QVERIFY(!doc.save(path).isEmpty());
    QVERIFY(!QFile::exists(path));

    // Just under the limit, what is written reads back the same.
    for (int t = 0; t < CobIdDocument::TableCount; ++t) {
        for (int r = 0; r < CobIdTable::RowCount; ++r) {
            doc.table(t).setCell(r, CobIdTable::ModCobId, QString());
            if (t == 1)
                doc.table(t).setCell(r, CobIdTable::Desc, QString());
        }
    }
    QCOMPARE(doc.toBytes(bytes), QString());
    CobIdDocument back;
    QCOMPARE(back.read(bytes, QStringLiteral("x")), QString());
    QVERIFY(back == doc);
}

void TestCobIdDocument::documentsWithOnlyRowElementsReadAsThroughTheTree_data()
{
    QTest::addColumn<QByteArray>("document"); // "{end}" marks the end of each list
    QTest::addColumn<bool>("deviceType0");

    QByteArray many;
    for (int i = 0; i < 2050; ++i)
        many += "<row Orig_CobID=\"" + QByteArray::number(i) + "\" Type_CobID=\"2.0A 11bits\" Desc=\"r\"/>";
    QTest::newRow("as written here") << QByteArray(written(edited()))
                                            .replace("</Can0_to_Can1>", "{end}</Can0_to_Can1>")
                                            .replace("<Can1_to_Can0>", "<Can1_to_Can0>")
                                            .replace("</Can1_to_Can0>", "{end}</Can1_to_Can0>")
                                     << false;
    const QByteArray indented =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<CanCanCobID>\n  <Can0_to_Can1>\n"
        "    <row Orig_CobID=\" 0x181\" Type_CobID=\"2.0A 11bits\" Desc=\"tab&#9;nl&#10;&amp;&lt;&quot;\"/>\n"
        "    <item Desc=\"no other attribute\"><child Orig_CobID=\"9\"/>text</item>\n"
        "    <row Orig_CobID=\"3\" Type_CobID=\"2.0B 29bits\" Mod_CobID=\"4\" Type_MCobID=\"x\"/>\n"
        "  {end}</Can0_to_Can1>\n  <!-- between the lists -->\n  <other><row Orig_CobID=\"7\"/></other>\n"
        "  <Can1_to_Can0>\n    <row Orig_CobID=\"\xC3\x9C\" Desc=\"\xE2\x82\xAC\"/>\n  {end}</Can1_to_Can0>\n"
        "  <Can0_to_Can1><row Orig_CobID=\"second list of the name\"/></Can0_to_Can1>\n"
        "</CanCanCobID>\n<!--SW_VERSION = 2.001-->\n";
    QTest::newRow("indented, escapes, odd rows, extra children") << indented << false;
    QTest::newRow("the same with device type 0") << indented << true;
    QTest::newRow("more than 2048 rows") << "<CanCanCobID><Can1_to_Can0>" + many + "{end}</Can1_to_Can0><Can0_to_Can1>"
            + many.left(many.indexOf("<row", 200)) + "{end}</Can0_to_Can1></CanCanCobID>"
                                         << false;
}

void TestCobIdDocument::documentsWithOnlyRowElementsReadAsThroughTheTree()
{
    QFETCH(QByteArray, document);
    QFETCH(bool, deviceType0);
    // A comment closing each list is one more (empty) row: it changes nothing in the tables
    // here but makes the document one that only the tree reading takes.
    const QByteArray plain = QByteArray(document).replace("{end}", "");
    const QByteArray withComments = QByteArray(document).replace("{end}", "<!--end-->");
    const ParGenFilterValues parGen = deviceType0 ? ::deviceType0(1, 0) : ParGenFilterValues();

    CobIdDocument fromPlain(parGen), fromTree(parGen);
    CobIdDocument::ReadReport plainReport, treeReport;
    QCOMPARE(fromPlain.read(plain, QStringLiteral("plain.xml"), &plainReport), QString());
    QCOMPARE(fromTree.read(withComments, QStringLiteral("tree.xml"), &treeReport), QString());
    for (int t = 0; t < CobIdDocument::TableCount; ++t) {
        for (int r = 0; r < CobIdTable::RowCount; ++r)
            QCOMPARE(fromPlain.table(t).Copy_Row(r), fromTree.table(t).Copy_Row(r));
        const int comment = fromTree.table(t).usedRowCount() == CobIdTable::RowCount ? 1 : 0;
        QCOMPARE(plainReport.surplusRows[size_t(t)] + comment, treeReport.surplusRows[size_t(t)]);
    }
    QVERIFY(fromPlain.table(0).usedRowCount() > 0);
}

void TestCobIdDocument::unreadableDocuments_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QStringList>("mentions");

    QTest::newRow("not well-formed") << QStringLiteral("config/CanCanCobID-malformed.xml")
                                     << QStringList{u"line 1"_qs, u"column"_qs};
    QTest::newRow("second list missing") << QStringLiteral("config/CanCanCobID-one-list.xml")
                                         << QStringList{u"line 1"_qs, u"column"_qs, u"Can1_to_Can0"_qs};
    QTest::newRow("comment before the root")
        << QStringLiteral("config/ParGen-comment-first.xml") << QStringList{u"Can0_to_Can1"_qs, u"first node"_qs};
    QTest::newRow("another document") << QStringLiteral("config/ParGen-empty-root.xml")
                                      << QStringList{u"Par_Gen"_qs, u"Can0_to_Can1"_qs};
}

void TestCobIdDocument::unreadableDocuments()
{
    QFETCH(QString, fixture);
    QFETCH(QStringList, mentions);

    QTemporaryDir dir;
    const QByteArray original = fileBytes(TestPaths::data(fixture));
    const QString path = writeFile(dir, original);

    CobIdDocument doc = edited();
    const CobIdDocument before = doc;
    const QString error = doc.read(path);
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
    for (const QString &m : mentions)
        QVERIFY2(error.contains(m), qPrintable(error));
    QVERIFY(doc == before);
    QCOMPARE(fileBytes(path), original);
}

void TestCobIdDocument::validation_data()
{
    QTest::addColumn<QStringList>("row");
    QTest::addColumn<bool>("positive");
    QTest::addColumn<int>("message"); // 0: valid; first table's message

    const QString e;
    QTest::newRow("11-bit 2047") << QStringList{u"2047"_qs, A, e, e, e} << false << 0;
    QTest::newRow("11-bit 0x7FF") << QStringList{u"0x7FF"_qs, A, e, e, e} << false << 0;
    QTest::newRow("11-bit $7FF") << QStringList{u"$7FF"_qs, A, e, e, e} << false << 0;
    QTest::newRow("11-bit X7ff") << QStringList{u"X7ff"_qs, A, e, e, e} << false << 0;
    QTest::newRow("11-bit 0") << QStringList{u"0"_qs, A, e, e, e} << false << 0;
    QTest::newRow("leading blank") << QStringList{u" 5"_qs, A, e, e, e} << false << 0;
    QTest::newRow("trailing blank") << QStringList{u"5 "_qs, A, e, e, e} << false << 544;
    QTest::newRow("11-bit 2048") << QStringList{u"2048"_qs, A, e, e, e} << false << 544;
    QTest::newRow("11-bit 0x800") << QStringList{u"0x800"_qs, A, e, e, e} << false << 544;
    QTest::newRow("11-bit -1") << QStringList{u"-1"_qs, A, e, e, e} << false << 544;
    QTest::newRow("11-bit abc") << QStringList{u"abc"_qs, A, e, e, e} << false << 544;
    QTest::newRow("29-bit max hex") << QStringList{u"0x1FFFFFFF"_qs, B, e, e, e} << false << 0;
    QTest::newRow("29-bit max dec") << QStringList{u"536870911"_qs, B, e, e, e} << false << 0;
    QTest::newRow("29-bit 0x20000000") << QStringList{u"0x20000000"_qs, B, e, e, e} << false << 545;
    QTest::newRow("29-bit 0xFFFFFFFF") << QStringList{u"0xFFFFFFFF"_qs, B, e, e, e} << false << 545;
    QTest::newRow("no type") << QStringList{u"1"_qs, e, e, e, e} << false << 543;
    QTest::newRow("type with blank") << QStringList{u"1"_qs, A + u' ', e, e, e} << false << 543;
    QTest::newRow("type other case") << QStringList{u"1"_qs, u"2.0a 11bits"_qs, e, e, e} << false << 543;
    QTest::newRow("type before range") << QStringList{u"x"_qs, e, e, e, e} << false << 543;
    QTest::newRow("positive off, modify empty") << QStringList{u"1"_qs, A, e, e, e} << false << 0;
    QTest::newRow("positive off, modify junk") << QStringList{u"1"_qs, A, u"junk"_qs, u"junk"_qs, e} << false << 0;
    QTest::newRow("positive, modify type empty") << QStringList{u"1"_qs, A, e, e, e} << true << 546;
    QTest::newRow("positive, modify id empty 11") << QStringList{u"1"_qs, A, e, A, e} << true << 547;
    QTest::newRow("positive, modify id empty 29") << QStringList{u"1"_qs, A, e, B, e} << true << 548;
    QTest::newRow("positive, modify by own type") << QStringList{u"1"_qs, A, u"0x800"_qs, B, e} << true << 0;
    QTest::newRow("positive, modify 11 too big") << QStringList{u"1"_qs, B, u"0x800"_qs, A, e} << true << 547;
    QTest::newRow("positive, original first") << QStringList{u"0x800"_qs, A, e, e, e} << true << 544;
    QTest::newRow("positive valid") << QStringList{u"0x181"_qs, A, u"0x1FFFFFFF"_qs, B, u"m"_qs} << true << 0;
}

void TestCobIdDocument::validation()
{
    QFETCH(QStringList, row);
    QFETCH(bool, positive);
    QFETCH(int, message);

    for (int table = 0; table < 2; ++table) {
        CobIdDocument doc;
        setRow(doc.table(table), 0, {u"1"_qs, A, u"1"_qs, A, QString()});
        setRow(doc.table(table), 1, row);
        // Rows outside the table are never looked at.
        setRow(doc.table(table), 3, {u"bad"_qs, u"bad"_qs, u"bad"_qs, u"bad"_qs, QString()});
        const auto failure = doc.Controllo_dati(positive);
        if (message == 0) {
            QVERIFY(!failure);
        } else {
            QVERIFY(failure);
            QCOMPARE(*failure, (CobIdFailure{table, 2, message + 6 * table}));
        }
    }
}

void TestCobIdDocument::firstTableIsValidatedFirst()
{
    CobIdDocument doc;
    setRow(doc.table(1), 0, {u"x"_qs, A, QString(), QString(), QString()});
    for (int r = 0; r < 7; ++r)
        setRow(doc.table(0), r, {QString::number(r), A, QString(), QString(), QString()});
    QCOMPARE(*doc.Controllo_dati(false), (CobIdFailure{1, 1, 550}));
    doc.table(0).setCell(6, CobIdTable::OrigCobId, QStringLiteral("0x800"));
    QCOMPARE(*doc.Controllo_dati(false), (CobIdFailure{0, 7, 544}));
    // Rows 1 to 3 filled, row 4 blank, row 5 wrong: only rows 1 to 3 count.
    doc.table(0).setCell(3, CobIdTable::OrigCobId, QStringLiteral(" "));
    doc.table(1).cancelAll();
    QVERIFY(!doc.Controllo_dati(false));
}

void TestCobIdDocument::messageIsComposed()
{
    CobIdDocument doc;
    setRow(doc.table(0), 0, {u"1"_qs, A, QString(), QString(), QString()});
    for (int r = 0; r < 7; ++r)
        setRow(doc.table(0), r, {QString::number(r), A, QString(), QString(), QString()});
    doc.table(0).setCell(6, CobIdTable::OrigCobId, QStringLiteral("0x800"));
    QCOMPARE(doc.Controllo_dati(false, m_catalog),
             QStringLiteral("Error in row 7!! [From CAN 0 to CAN 1] The Original CobID must between 0x000 and 0x7FF"));
    QCOMPARE(CobIdDocument::message({1, 2048, 552}, m_catalog),
             QStringLiteral("Error in row 2048!! [From CAN 1 to CAN 0] The Type of Modify CobID must be selected"));
    doc.table(0).setCell(6, CobIdTable::OrigCobId, QStringLiteral("6"));
    QCOMPARE(doc.Controllo_dati(false, m_catalog), QString());
}

void TestCobIdDocument::failedSaveKeepsThePreviousFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CanCanCobID.xml"));
    CobIdDocument doc = edited();
    QCOMPARE(doc.save(path), QString());
    const QByteArray before = fileBytes(path);

    doc.table(0).setCell(1, CobIdTable::Desc, QStringLiteral("bell") + QChar(0x07));
    const CobIdDocument entries = doc;
    const QString error = doc.save(path);
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)) && error.contains(QStringLiteral("Row 2")),
             qPrintable(error));
    QCOMPARE(fileBytes(path), before);
    QVERIFY(doc == entries);

    const QString missingFolder = dir.filePath(QStringLiteral("gone/CanCanCobID.xml"));
    const QString folderError = CobIdDocument().save(missingFolder);
    QVERIFY2(folderError.contains(QDir::toNativeSeparators(missingFolder)), qPrintable(folderError));
    QVERIFY(!QFile::exists(missingFolder));
}

void TestCobIdDocument::failingDeviceReportsItsError()
{
    FailDevice device(50);
    QVERIFY(device.open(QIODevice::WriteOnly));
    QCOMPARE(edited().write(device), QStringLiteral("No space left on device"));
}

QTEST_GUILESS_MAIN(TestCobIdDocument)
#include "tst_cobiddocument.moc"
