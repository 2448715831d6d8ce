#include "core/config/CobIdTable.h"

#include <QTest>

namespace {

const QString &A = CobIdTable::type11Bit();
const QString &B = CobIdTable::type29Bit();

// Rows 0..count-1 hold "id<n>" style content in every column.
void fill(CobIdTable &t, int count)
{
    for (int r = 0; r < count; ++r) {
        t.setCell(r, CobIdTable::OrigCobId, QString::number(100 + r));
        t.setCell(r, CobIdTable::TypeCobId, A);
        t.setCell(r, CobIdTable::ModCobId, QString::number(200 + r));
        t.setCell(r, CobIdTable::TypeMCobId, A);
        t.setCell(r, CobIdTable::Desc, QStringLiteral("row %1").arg(r + 1));
    }
}

QStringList rowTexts(const CobIdTable &t, int r)
{
    return t.Copy_Row(r);
}

QStringList emptyRow()
{
    return QStringList(CobIdTable::CellCount, QString());
}

} // namespace

class TestCobIdTable : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void usedRowsEndAtFirstBlankOriginal_data();
    void usedRowsEndAtFirstBlankOriginal();
    void deleteRow();
    void deleteLastRowOnlyEmptiesIt();
    void insertRow();
    void insertAtLastRowEmptiesIt();
    void outOfRangeRowsChangeNothing();
    void pasteChecks_data();
    void pasteChecks();
    void pasteWritesAllColumns();
    void compileAll();
    void cancelAll();
    void portTypesSurviveEveryOperation();
};

void TestCobIdTable::usedRowsEndAtFirstBlankOriginal_data()
{
    QTest::addColumn<QString>("row4Original");
    QTest::addColumn<int>("used");
    QTest::newRow("empty") << QString() << 3;
    QTest::newRow("blanks") << QStringLiteral("  ") << 3;
    QTest::newRow("tab") << QStringLiteral("\t") << 3;
    QTest::newRow("filled") << QStringLiteral("7") << 5;
}

void TestCobIdTable::usedRowsEndAtFirstBlankOriginal()
{
    QFETCH(QString, row4Original);
    QFETCH(int, used);
    CobIdTable t;
    QCOMPARE(t.usedRowCount(), 0);
    fill(t, 5);
    t.setCell(3, CobIdTable::OrigCobId, row4Original);
    QCOMPARE(t.usedRowCount(), used);

    CobIdTable full;
    fill(full, CobIdTable::RowCount);
    QCOMPARE(full.usedRowCount(), CobIdTable::RowCount);
}

void TestCobIdTable::deleteRow()
{
    CobIdTable t;
    fill(t, 10);
    const QStringList row6 = rowTexts(t, 5);
    const QStringList row10 = rowTexts(t, 9);
    t.Delete_Row(4); // row 5
    QCOMPARE(rowTexts(t, 4), row6);
    QCOMPARE(rowTexts(t, 8), row10);
    QCOMPARE(rowTexts(t, 9), emptyRow());
    QCOMPARE(rowTexts(t, 3).at(CobIdTable::Desc), QStringLiteral("row 4"));
    QCOMPARE(t.usedRowCount(), 9);
}

void TestCobIdTable::deleteLastRowOnlyEmptiesIt()
{
    CobIdTable t;
    fill(t, CobIdTable::RowCount);
    const QStringList before = rowTexts(t, CobIdTable::RowCount - 2);
    t.Delete_Row(CobIdTable::RowCount - 1);
    QCOMPARE(rowTexts(t, CobIdTable::RowCount - 1), emptyRow());
    QCOMPARE(rowTexts(t, CobIdTable::RowCount - 2), before);
}

void TestCobIdTable::insertRow()
{
    CobIdTable t;
    fill(t, 10);
    const QStringList row3 = rowTexts(t, 2);
    const QStringList row10 = rowTexts(t, 9);
    t.Insert_Row(2); // row 3
    QCOMPARE(rowTexts(t, 2), emptyRow());
    QCOMPARE(rowTexts(t, 3), row3);
    QCOMPARE(rowTexts(t, 10), row10);
    // The new empty row ends the table until its Original CobID is filled in.
    QCOMPARE(t.usedRowCount(), 2);
}

void TestCobIdTable::insertAtLastRowEmptiesIt()
{
    CobIdTable t;
    fill(t, CobIdTable::RowCount);
    const QStringList first = rowTexts(t, 0);
    t.Insert_Row(0);
    QCOMPARE(rowTexts(t, 1), first);
    QCOMPARE(rowTexts(t, CobIdTable::RowCount - 1).at(0), QString::number(100 + CobIdTable::RowCount - 2));
    t.Insert_Row(CobIdTable::RowCount - 1);
    QCOMPARE(rowTexts(t, CobIdTable::RowCount - 1), emptyRow());
}

void TestCobIdTable::outOfRangeRowsChangeNothing()
{
    CobIdTable t;
    fill(t, 3);
    const CobIdTable before = t;
    t.Delete_Row(-1);
    t.Insert_Row(CobIdTable::RowCount);
    t.Paste_Row(-1, emptyRow());
    t.setCell(CobIdTable::RowCount, 0, QStringLiteral("x"));
    t.setCell(0, CobIdTable::CellCount, QStringLiteral("x"));
    QVERIFY(t == before);
    QCOMPARE(t.Copy_Row(-1), QStringList());
}

void TestCobIdTable::pasteChecks_data()
{
    QTest::addColumn<bool>("copiedHere");
    QTest::addColumn<int>("copiedCount");
    QTest::addColumn<int>("targetColumn"); // a column filled in the target row, -1 none
    QTest::addColumn<int>("message");      // -1 = paste at once

    QTest::newRow("nothing copied") << false << 5 << -1 << 802;
    QTest::newRow("nothing copied beats size") << false << 3 << -1 << 802;
    QTest::newRow("too few texts") << true << 4 << -1 << 801;
    QTest::newRow("too many texts") << true << 6 << -1 << 801;
    QTest::newRow("empty row") << true << 5 << -1 << -1;
    QTest::newRow("only a mnemonic") << true << 5 << int(CobIdTable::Desc) << 800;
    QTest::newRow("only a type") << true << 5 << int(CobIdTable::TypeMCobId) << 800;
    QTest::newRow("original") << true << 5 << int(CobIdTable::OrigCobId) << 800;
}

void TestCobIdTable::pasteChecks()
{
    QFETCH(bool, copiedHere);
    QFETCH(int, copiedCount);
    QFETCH(int, targetColumn);
    QFETCH(int, message);

    CobIdTable t;
    if (targetColumn >= 0)
        t.setCell(7, targetColumn, QStringLiteral("x"));
    const QStringList copied(copiedCount, QStringLiteral("1"));
    QCOMPARE(CobIdTable::messageIndex(t.checkPaste(7, copiedHere, copied)), message);

    // Blanks alone do not make a row used.
    t.setCell(8, CobIdTable::Desc, QStringLiteral("  "));
    QCOMPARE(t.checkPaste(8, true, QStringList(5, QString())), CobIdTable::Paste::Ready);
}

void TestCobIdTable::pasteWritesAllColumns()
{
    CobIdTable t;
    fill(t, 2);
    const QStringList copied = t.Copy_Row(0);
    QCOMPARE(copied, (QStringList{u"100"_qs, A, u"200"_qs, A, u"row 1"_qs}));
    t.Paste_Row(1, copied);
    QCOMPARE(rowTexts(t, 1), copied);
    t.Paste_Row(2, QStringList(4, QStringLiteral("x")));
    QCOMPARE(rowTexts(t, 2), emptyRow());
}

void TestCobIdTable::compileAll()
{
    CobIdTable t;
    t.setCell(5, CobIdTable::Desc, QStringLiteral("old"));
    t.compileAll();
    QCOMPARE(rowTexts(t, 0), (QStringList{u"0"_qs, A, u"0"_qs, A, QString()}));
    QCOMPARE(rowTexts(t, 5), (QStringList{u"5"_qs, A, u"5"_qs, A, QString()}));
    QCOMPARE(rowTexts(t, 2047), (QStringList{u"2047"_qs, A, u"2047"_qs, A, QString()}));
    QCOMPARE(t.usedRowCount(), CobIdTable::RowCount);
}

void TestCobIdTable::cancelAll()
{
    CobIdTable t;
    t.compileAll();
    t.cancelAll();
    QCOMPARE(t.usedRowCount(), 0);
    QVERIFY(t == CobIdTable());
}

void TestCobIdTable::portTypesSurviveEveryOperation()
{
    // Device type 0, CAN 0 at 29-bit and CAN 1 at 11-bit, first table.
    CobIdTable t;
    t.setPortTypes(B, A);
    QVERIFY(t.typesFollowPorts());
    QCOMPARE(rowTexts(t, 2047), (QStringList{QString(), B, QString(), A, QString()}));
    // A row holding only the port types is empty for the overwrite question.
    QCOMPARE(t.checkPaste(0, true, emptyRow()), CobIdTable::Paste::Ready);

    const auto typesKept = [&t](const char *step) {
        for (int r = 0; r < CobIdTable::RowCount; ++r) {
            if (t.cell(r, CobIdTable::TypeCobId) != B || t.cell(r, CobIdTable::TypeMCobId) != A)
                QFAIL(qPrintable(QStringLiteral("%1: row %2 lost its port types").arg(QLatin1String(step)).arg(r + 1)));
        }
    };
    t.setCell(0, CobIdTable::OrigCobId, QStringLiteral("1"));
    t.setCell(1, CobIdTable::OrigCobId, QStringLiteral("2"));
    t.Insert_Row(0);
    typesKept("insert");
    t.Delete_Row(2047);
    typesKept("delete last");
    t.Delete_Row(0);
    typesKept("delete");
    QCOMPARE(t.cell(0, CobIdTable::OrigCobId), QStringLiteral("1"));
    t.Paste_Row(4, QStringList{u"9"_qs, QString(), u"9"_qs, QString(), u"pasted"_qs});
    typesKept("paste");
    QCOMPARE(t.cell(4, CobIdTable::Desc), QStringLiteral("pasted"));
    t.compileAll();
    typesKept("compile all");
    QCOMPARE(t.cell(2047, CobIdTable::OrigCobId), QStringLiteral("2047"));
    t.cancelAll();
    typesKept("cancel all");
    QCOMPARE(t.usedRowCount(), 0);
}

QTEST_GUILESS_MAIN(TestCobIdTable)
#include "tst_cobidtable.moc"
