#include "core/config/CobIdImport.h"

#include "TestPaths.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString &A = CobIdTable::type11Bit();
const QString &B = CobIdTable::type29Bit();

std::vector<ImportedRow> rows(int count, int firstLine = 2)
{
    std::vector<ImportedRow> result;
    for (int i = 0; i < count; ++i) {
        ImportedRow row;
        row.line = firstLine + i;
        row.cells = {QString::number(1000 + i), A, QString::number(1000 + i), A, u"r"_qs + QString::number(i)};
        result.push_back(row);
    }
    return result;
}

CobIdTable used(int count)
{
    CobIdTable t;
    for (int r = 0; r < count; ++r) {
        t.setCell(r, CobIdTable::OrigCobId, QString::number(r));
        t.setCell(r, CobIdTable::TypeCobId, A);
    }
    return t;
}

} // namespace

class TestCobIdImport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void replaceAndAppend_data();
    void replaceAndAppend();
    void refusesMoreThanATable_data();
    void refusesMoreThanATable();
    void portTypes();
    void readsByExtension();
};

void TestCobIdImport::replaceAndAppend_data()
{
    QTest::addColumn<bool>("append");
    QTest::addColumn<int>("inUse");
    QTest::addColumn<int>("imported");
    QTest::newRow("replace") << false << 10 << 3;
    QTest::newRow("replace with nothing") << false << 10 << 0;
    QTest::newRow("replace, full table") << false << 0 << 2048;
    QTest::newRow("append") << true << 10 << 3;
    QTest::newRow("append to empty") << true << 0 << 3;
    QTest::newRow("append to the last row") << true << 2045 << 3;
}

void TestCobIdImport::replaceAndAppend()
{
    QFETCH(bool, append);
    QFETCH(int, inUse);
    QFETCH(int, imported);
    CobIdTable t = used(inUse);
    const CobIdTable before = t;
    // A row behind a blank one is outside the table; the next save would drop it anyway.
    if (inUse + 1 < CobIdTable::RowCount)
        t.setCell(inUse + 1, CobIdTable::OrigCobId, u"hidden"_qs);
    const auto mode = append ? CobIdImport::Mode::Append : CobIdImport::Mode::Replace;
    QCOMPARE(CobIdImport::apply(t, rows(imported), mode, u"f.csv"_qs), QString());

    const int kept = append ? inUse : 0;
    QCOMPARE(t.usedRowCount(), kept + imported);
    for (int r = 0; r < kept; ++r)
        QCOMPARE(t.row(r), before.row(r));
    const auto read = rows(imported);
    for (int i = 0; i < imported; ++i)
        QCOMPARE(t.row(kept + i), read[size_t(i)].cells);
    for (int r = kept + imported; r < CobIdTable::RowCount; ++r)
        QCOMPARE(t.row(r), CobIdTable::Row());
}

void TestCobIdImport::refusesMoreThanATable_data()
{
    QTest::addColumn<bool>("append");
    QTest::addColumn<int>("inUse");
    QTest::addColumn<int>("imported");
    QTest::addColumn<QString>("error");
    QTest::newRow("replace") << false << 5 << 2049
                             << u"f.csv, line 2050: more than 2048 rows; a table has 2048 rows"_qs;
    QTest::newRow("append")
        << true << 2000 << 50
        << u"f.csv, line 50: the table is full; 2000 rows in use and 50 to import make more than 2048"_qs;
    QTest::newRow("append to a full table")
        << true << 2048 << 1
        << u"f.csv, line 2: the table is full; 2048 rows in use and 1 to import make more than 2048"_qs;
}

void TestCobIdImport::refusesMoreThanATable()
{
    QFETCH(bool, append);
    QFETCH(int, inUse);
    QFETCH(int, imported);
    QFETCH(QString, error);
    CobIdTable t = used(inUse);
    const CobIdTable before = t;
    const auto mode = append ? CobIdImport::Mode::Append : CobIdImport::Mode::Replace;
    QCOMPARE(CobIdImport::apply(t, rows(imported), mode, u"f.csv"_qs), error);
    QVERIFY(t == before);
}

void TestCobIdImport::portTypes()
{
    // A device without Ethernet port: CAN 0 29-bit, CAN 1 11-bit.
    CobIdTable t;
    t.setPortTypes(B, A);
    std::vector<ImportedRow> in = rows(2);
    in[0].cells[CobIdTable::TypeCobId] = B;
    in[0].cells[CobIdTable::TypeMCobId] = QString();
    in[1].cells[CobIdTable::TypeCobId] = QString();
    in[1].cells[CobIdTable::TypeMCobId] = A;
    QCOMPARE(CobIdImport::apply(t, in, CobIdImport::Mode::Replace, u"f.csv"_qs), QString());
    QCOMPARE(t.usedRowCount(), 2);
    for (int r : {0, 1, 2, 2047}) {
        QCOMPARE(t.cell(r, CobIdTable::TypeCobId), B);
        QCOMPARE(t.cell(r, CobIdTable::TypeMCobId), A);
    }

    const CobIdTable before = t;
    in[1].cells[CobIdTable::TypeCobId] = A;
    QCOMPARE(
        CobIdImport::apply(t, in, CobIdImport::Mode::Append, u"f.csv"_qs),
        u"f.csv, line 3: the Original CobID type 2.0A 11bits differs from 2.0B 29bits, the type of the port it belongs "
        "to (a device without Ethernet port takes the row types from its ports)"_qs);
    QVERIFY(t == before);
}

void TestCobIdImport::readsByExtension()
{
    std::vector<ImportedRow> read;
    QCOMPARE(CobIdImport::readFile(TestPaths::data(u"extras/table.csv"_qs), true, read), QString());
    QCOMPARE(read.size(), size_t(4));
    QCOMPARE(CobIdImport::readFile(TestPaths::data(u"extras/vehicle.dbc"_qs), false, read), QString());
    QCOMPARE(read.size(), size_t(3));
    QCOMPARE(read[0].cells[CobIdTable::ModCobId], QString());

    QCOMPARE(CobIdImport::kindOf(u"a/B.CSV"_qs), CobIdImport::Kind::Csv);
    QCOMPARE(CobIdImport::kindOf(u"a/b.Dbc"_qs), CobIdImport::Kind::Dbc);
    QCOMPARE(CobIdImport::kindOf(u"a/b.txt"_qs), CobIdImport::Kind::Unknown);
    QCOMPARE(CobIdImport::readFile(u"table.txt"_qs, true, read),
             u"table.txt: only .csv and .dbc files can be imported"_qs);
    QTemporaryDir dir;
    const QString missing = dir.filePath(u"missing.csv"_qs);
    QVERIFY(
        CobIdImport::readFile(missing, true, read).startsWith(u"Cannot read "_qs + QDir::toNativeSeparators(missing)));
    QCOMPARE(read.size(), size_t(3));
}

QTEST_GUILESS_MAIN(TestCobIdImport)
#include "tst_cobidimport.moc"
