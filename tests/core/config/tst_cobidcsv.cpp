#include "core/config/CobIdCsv.h"

#include "TestPaths.h"
#include "core/FailDevice.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

const QString &A = CobIdTable::type11Bit();
const QString &B = CobIdTable::type29Bit();
const QString kHeader = u"Original CobID,Type CobID,Modify CobID,Type CobID,Mnemonic\r\n"_qs;

void setRow(CobIdTable &t, int r, const QStringList &cells)
{
    for (int c = 0; c < cells.size(); ++c)
        t.setCell(r, c, cells.at(c));
}

QByteArray fixture(const QString &name)
{
    QFile f(TestPaths::data(u"extras/"_qs + name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList cells(const ImportedRow &row)
{
    return QStringList(row.cells.begin(), row.cells.end());
}

} // namespace

class TestCobIdCsv : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void writesUsedRowsWithQuoting();
    void roundTripKeepsEveryText();
    void formulaTextsWrittenAsText_data();
    void formulaTextsWrittenAsText();
    void readsSpreadsheetFormulaCells();
    void readsSpreadsheetFile();
    void readsDecimalCommaLocaleFile();
    void refusesMalformedFiles_data();
    void refusesMalformedFiles();
    void writeFailureIsReported();
};

void TestCobIdCsv::writesUsedRowsWithQuoting()
{
    CobIdTable t;
    setRow(t, 0, {u"0x181"_qs, A, u"0x281"_qs, A, u"Speed, left"_qs});
    setRow(t, 1, {u" 5"_qs, A, QString(), QString(), u"say \"hi\""_qs});
    setRow(t, 2, {u"0x18FEF100"_qs, B, u"7"_qs, A, u"a\nb"_qs});
    setRow(t, 4, {u"9"_qs, A, u"9"_qs, A, u"beyond the blank row"_qs});
    const QByteArray expected = (kHeader
                                 + u"0x181,2.0A 11bits,0x281,2.0A 11bits,\"Speed, left\"\r\n"
                                   "\" 5\",2.0A 11bits,,,\"say \"\"hi\"\"\"\r\n"
                                   "0x18FEF100,2.0B 29bits,7,2.0A 11bits,\"a\nb\"\r\n"_qs)
                                    .toUtf8();
    QCOMPARE(CobIdCsv::toBytes(t), expected);
    QCOMPARE(CobIdCsv::toBytes(CobIdTable()), kHeader.toUtf8());
}

void TestCobIdCsv::roundTripKeepsEveryText()
{
    const QStringList texts{u"a,b"_qs,          u"a;b"_qs,      u"\"quoted\""_qs,
                            u"two\r\nlines"_qs, u"lf\nonly"_qs, u" lead"_qs,
                            u"trail "_qs,       u"\ttab"_qs,    u"Temp\u00e9rature \u2103"_qs,
                            QString(),          u"=SUM(A1)"_qs, u"\""_qs,
                            u"x\"\"y"_qs,       u"cr\ronly"_qs};
    CobIdTable t;
    for (int r = 0; r < texts.size(); ++r)
        setRow(t, r,
               {QString::number(r) + u" "_qs, texts.at(r), texts.at((r + 1) % texts.size()), QString(), texts.at(r)});
    std::vector<ImportedRow> rows;
    QCOMPARE(CobIdCsv::parse(CobIdCsv::toBytes(t), u"t.csv"_qs, rows), QString());
    QCOMPARE(int(rows.size()), texts.size());
    for (int r = 0; r < texts.size(); ++r)
        QCOMPARE(cells(rows[size_t(r)]), t.Copy_Row(r));
}

void TestCobIdCsv::formulaTextsWrittenAsText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field"); // the Mnemonic as written
    QTest::newRow("equals") << u"=1+2"_qs << u"'=1+2"_qs;
    QTest::newRow("plus") << u"+x"_qs << u"'+x"_qs;
    QTest::newRow("minus") << u"-x"_qs << u"'-x"_qs;
    QTest::newRow("at") << u"@x"_qs << u"'@x"_qs;
    QTest::newRow("apostrophe before equals") << u"'=x"_qs << u"''=x"_qs;
    QTest::newRow("apostrophe before text") << u"'abc"_qs << u"'abc"_qs;
    QTest::newRow("two apostrophes") << u"''"_qs << u"'''"_qs;
    QTest::newRow("one apostrophe") << u"'"_qs << u"'"_qs;
    QTest::newRow("plain") << u"Speed x=1"_qs << u"Speed x=1"_qs;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("quoted too") << u"=a,b"_qs << u"\"'=a,b\""_qs;
}

void TestCobIdCsv::formulaTextsWrittenAsText()
{
    QFETCH(QString, text);
    QFETCH(QString, field);
    // Identifiers and types are written as they are, whatever they start with.
    CobIdTable t;
    setRow(t, 0, {u"0x181"_qs, A, text, text, text});
    const QString kept = text.contains(u',') ? u'"' + text + u'"' : text;
    const QByteArray bytes = CobIdCsv::toBytes(t);
    QCOMPARE(bytes, (kHeader + u"0x181,2.0A 11bits,"_qs + kept + u',' + kept + u',' + field + u"\r\n"_qs).toUtf8());
    std::vector<ImportedRow> rows;
    QCOMPARE(CobIdCsv::parse(bytes, u"t.csv"_qs, rows), QString());
    QCOMPARE(cells(rows.at(0)), t.Copy_Row(0));
}

// What a spreadsheet saves: the apostrophe it shows a formula sign behind is taken off, any
// other text is read as it stands.
void TestCobIdCsv::readsSpreadsheetFormulaCells()
{
    std::vector<ImportedRow> rows;
    QCOMPARE(CobIdCsv::parse(fixture(u"formula-mnemonic.csv"_qs), u"formula-mnemonic.csv"_qs, rows), QString());
    QStringList desc;
    for (const ImportedRow &row : rows)
        desc << row.cells[CobIdTable::Desc];
    QCOMPARE(desc, (QStringList{u"=SUM(A1:A9)"_qs, u"=1+2"_qs, u"'@sum"_qs, u"'abc"_qs, u"-"_qs}));
    QCOMPARE(rows.back().cells[CobIdTable::OrigCobId], u"-1"_qs);
}

void TestCobIdCsv::readsSpreadsheetFile()
{
    std::vector<ImportedRow> rows;
    QCOMPARE(CobIdCsv::parse(fixture(u"table.csv"_qs), u"table.csv"_qs, rows), QString());
    QCOMPARE(rows.size(), size_t(4));
    QCOMPARE(cells(rows[0]), (QStringList{u"0x181"_qs, A, u"0x281"_qs, A, u"Speed, left"_qs}));
    QCOMPARE(cells(rows[1]), (QStringList{u"385"_qs, A, u"385"_qs, A, u"Say \"hi\""_qs}));
    QCOMPARE(cells(rows[2]), (QStringList{u"0x18FEF100"_qs, B, u"0x100"_qs, A, u"two\r\nlines"_qs}));
    QCOMPARE(cells(rows[3]), (QStringList{u" 5"_qs, A, QString(), QString(), QString()}));
    // Each row knows the line it starts on; the line break inside a field counts.
    QCOMPARE(rows[0].line, 2);
    QCOMPARE(rows[2].line, 4);
    QCOMPARE(rows[3].line, 6);
}

void TestCobIdCsv::readsDecimalCommaLocaleFile()
{
    std::vector<ImportedRow> rows;
    QCOMPARE(CobIdCsv::parse(fixture(u"semicolon.csv"_qs), u"semicolon.csv"_qs, rows), QString());
    QCOMPARE(rows.size(), size_t(2));
    QCOMPARE(cells(rows[0]), (QStringList{u"0x100"_qs, A, u"0x100"_qs, A, u"Temp\u00e9rature; moteur"_qs}));
    QCOMPARE(cells(rows[1]), (QStringList{u"0x101"_qs, A, u"0x101"_qs, A, u"1,5 bar"_qs}));
    QCOMPARE(rows[1].line, 5);
}

void TestCobIdCsv::refusesMalformedFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("error");
    const QString header = u"expected the header Original CobID,Type CobID,Modify CobID,Type CobID,Mnemonic"_qs;
    QTest::newRow("no header") << u"no-header.csv"_qs << u"no-header.csv, line 1: "_qs + header;
    QTest::newRow("empty") << u"empty.csv"_qs << u"empty.csv, line 1: the file is empty; "_qs + header;
    QTest::newRow("only the header") << u"header-only.csv"_qs
                                     << u"header-only.csv holds only the header, no row: nothing imported"_qs;
    QTest::newRow("binary") << u"binary.csv"_qs
                            << u"binary.csv holds binary bytes (a NUL byte on line 2), not text: nothing imported"_qs;
    QTest::newRow("four fields") << u"four-fields.csv"_qs << u"four-fields.csv, line 3: 4 fields, expected 5"_qs;
    QTest::newRow("unclosed quote")
        << u"unclosed-quote.csv"_qs
        << u"unclosed-quote.csv, line 3: the quoted field that starts on this line is not closed"_qs;
    QTest::newRow("stray quote")
        << u"stray-quote.csv"_qs
        << u"stray-quote.csv, line 2: a quote inside a field that does not start with one; enclose the field in quotes and write the quote twice"_qs;
    QTest::newRow("text after quote")
        << u"after-quote.csv"_qs
        << u"after-quote.csv, line 2: text after the closing quote of a field; a quote inside a quoted field is written twice"_qs;
    QTest::newRow("blank original")
        << u"blank-original.csv"_qs
        << u"blank-original.csv, line 3: the Original CobID is empty; a row without it would end the table"_qs;
    QTest::newRow("not UTF-8") << u"latin1.csv"_qs
                               << u"latin1.csv, line 3: the text is not UTF-8; save the file as CSV UTF-8"_qs;
    QTest::newRow("control character")
        << u"control-char.csv"_qs
        << u"control-char.csv, line 2: field 5 (Mnemonic) holds a control character that cannot be saved"_qs;
}

void TestCobIdCsv::refusesMalformedFiles()
{
    QFETCH(QString, file);
    QFETCH(QString, error);
    std::vector<ImportedRow> rows{ImportedRow{}};
    QCOMPARE(CobIdCsv::parse(fixture(file), file, rows), error);
    QCOMPARE(rows.size(), size_t(1)); // untouched
}

void TestCobIdCsv::writeFailureIsReported()
{
    CobIdTable t;
    t.compileAll();
    FailDevice device(100);
    QVERIFY(device.open(QIODevice::WriteOnly));
    QCOMPARE(CobIdCsv::write(t, device), u"No space left on device"_qs);
}

QTEST_GUILESS_MAIN(TestCobIdCsv)
#include "tst_cobidcsv.moc"
