#include "core/config/CobIdTable.h"
#include "ui/config/CobIdTableModel.h"

#include <QAbstractItemModelTester>
#include <QColor>
#include <QSignalSpy>
#include <QTest>

// The grid's model over a filter table: what each column shows, which cells can be typed in,
// and that every table operation tells the views about the rows it touched.
class TestCobIdTableModel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void passesTheModelTesterThroughEveryOperation();
    void columnsShowNumberCellsAndColours();
    void readOnlyColumnsRefuseEdits();
    void operationsReportTheRowsTheyTouch_data();
    void operationsReportTheRowsTheyTouch();
    void titlesAndHints();
};

void TestCobIdTableModel::passesTheModelTesterThroughEveryOperation()
{
    CobIdTable table;
    CobIdTableModel model(table);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

    model.setTitles({QStringLiteral("N"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                     QStringLiteral("d"), QStringLiteral("e")});
    model.setHints(
        {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")});
    QVERIFY(model.setData(model.index(0, 1), QStringLiteral("0x181")));
    QVERIFY(model.setData(model.index(2047, 5), QStringLiteral("last")));
    model.setColumnReadOnly(3, true);
    QVERIFY(!model.setData(model.index(0, 3), QStringLiteral("1")));
    model.Insert_Row(0);
    model.Delete_Row(2047);
    model.Paste_Row(5, table.Copy_Row(1));
    model.compileAll();
    model.cancelAll();
    table.setPortTypes(CobIdTable::type29Bit(), CobIdTable::type11Bit());
    model.tableReset();
}

void TestCobIdTableModel::columnsShowNumberCellsAndColours()
{
    CobIdTable table;
    table.setCell(9, CobIdTable::OrigCobId, QStringLiteral(" 5"));
    table.setCell(9, CobIdTable::Desc, QStringLiteral("Heartbeat"));
    CobIdTableModel model(table);
    QCOMPARE(model.rowCount(), 2048);
    QCOMPARE(model.columnCount(), 6);
    QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("1"));
    QCOMPARE(model.index(2047, 0).data().toString(), QStringLiteral("2048"));
    QCOMPARE(model.index(9, 1).data().toString(), QStringLiteral(" 5"));
    QCOMPARE(model.index(9, 5).data().toString(), QStringLiteral("Heartbeat"));

    QCOMPARE(model.index(3, 1).data(Qt::BackgroundRole).value<QColor>(), QColor(168, 255, 168));
    QCOMPARE(model.index(3, 2).data(Qt::BackgroundRole).value<QColor>(), QColor(168, 255, 168));
    QCOMPARE(model.index(3, 3).data(Qt::BackgroundRole).value<QColor>(), QColor(224, 250, 254));
    QCOMPARE(model.index(3, 4).data(Qt::BackgroundRole).value<QColor>(), QColor(224, 250, 254));
    QCOMPARE(model.index(3, 5).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 255, 255));
}

void TestCobIdTableModel::readOnlyColumnsRefuseEdits()
{
    CobIdTable table;
    CobIdTableModel model(table);
    QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
    QVERIFY(model.flags(model.index(0, 0)) & Qt::ItemIsSelectable);
    QVERIFY(!model.setData(model.index(0, 0), QStringLiteral("7")));
    QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("1"));
    // Column 0 is never made editable.
    model.setColumnReadOnly(0, false);
    QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));

    model.setColumnReadOnly(2, true);
    QVERIFY(!(model.flags(model.index(4, 2)) & Qt::ItemIsEditable));
    QVERIFY(!model.setData(model.index(4, 2), CobIdTable::type11Bit()));
    QVERIFY(table.cell(4, CobIdTable::TypeCobId).isEmpty());
    QVERIFY(model.flags(model.index(4, 1)) & Qt::ItemIsEditable);
    model.setColumnReadOnly(2, false);
    QVERIFY(model.setData(model.index(4, 2), CobIdTable::type11Bit()));
    QCOMPARE(table.cell(4, CobIdTable::TypeCobId), CobIdTable::type11Bit());
}

void TestCobIdTableModel::operationsReportTheRowsTheyTouch_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("firstRow");
    QTest::newRow("insert at 3") << QStringLiteral("insert") << 2;
    QTest::newRow("delete at 5") << QStringLiteral("delete") << 4;
    QTest::newRow("paste at 7") << QStringLiteral("paste") << 6;
    QTest::newRow("compile all") << QStringLiteral("compile") << 0;
    QTest::newRow("cancel all") << QStringLiteral("cancel") << 0;
}

void TestCobIdTableModel::operationsReportTheRowsTheyTouch()
{
    QFETCH(QString, operation);
    QFETCH(int, firstRow);
    CobIdTable table;
    for (int r = 0; r < 10; ++r)
        table.setCell(r, CobIdTable::OrigCobId, QString::number(r));
    CobIdTableModel model(table);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    if (operation == QLatin1String("insert"))
        model.Insert_Row(firstRow);
    else if (operation == QLatin1String("delete"))
        model.Delete_Row(firstRow);
    else if (operation == QLatin1String("paste"))
        model.Paste_Row(firstRow, table.Copy_Row(0));
    else if (operation == QLatin1String("compile"))
        model.compileAll();
    else
        model.cancelAll();

    QCOMPARE(changed.size(), 1);
    const QModelIndex from = changed.first().at(0).toModelIndex();
    const QModelIndex to = changed.first().at(1).toModelIndex();
    QCOMPARE(from.row(), firstRow);
    QCOMPARE(from.column(), 1);
    QCOMPARE(to.column(), 5);
    QCOMPARE(to.row(), operation == QLatin1String("paste") ? firstRow : 2047);
}

void TestCobIdTableModel::titlesAndHints()
{
    CobIdTable table;
    CobIdTableModel model(table);
    model.setTitles({QStringLiteral("N"), QStringLiteral("Original CobID"), QStringLiteral("Type CobID"),
                     QStringLiteral("Modify CobID"), QStringLiteral("Type CobID"), QStringLiteral("Mnemonic")});
    model.setHints(
        {QStringLiteral("h1"), QStringLiteral("h2"), QStringLiteral("h3"), QStringLiteral("h4"), QStringLiteral("h5")});
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("N"));
    QCOMPARE(model.headerData(5, Qt::Horizontal).toString(), QStringLiteral("Mnemonic"));
    QVERIFY(!model.headerData(0, Qt::Horizontal, Qt::ToolTipRole).isValid());
    QCOMPARE(model.headerData(1, Qt::Horizontal, Qt::ToolTipRole).toString(), QStringLiteral("h1"));
    QCOMPARE(model.headerData(5, Qt::Horizontal, Qt::ToolTipRole).toString(), QStringLiteral("h5"));
    // The data cells have no hint.
    QVERIFY(!model.index(0, 3).data(Qt::ToolTipRole).isValid());
}

QTEST_MAIN(TestCobIdTableModel)
#include "tst_cobidtablemodel.moc"
