#include "EditorProject.h"
#include "RecordingPrompt.h"
#include "TestPaths.h"

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "core/config/CobIdDocument.h"
#include "ui/config/CobIdTableModel.h"
#include "ui/config/TFSetCobIDAccess.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

// Keys sent here go to whatever has the focus when each one arrives, as a user's keys do.
QWidget *const atFocus = nullptr;

struct Row
{
    QString orig, origType, mod, modType, desc;
};
Q_DECLARE_METATYPE(Row)

// A row passing one 11-bit identifier unchanged.
Row row11(int id, const QString &desc = QString())
{
    const QString t = QString::number(id);
    return {t, CobIdTable::type11Bit(), t, CobIdTable::type11Bit(), desc};
}

// The COB-ID filter window as a user meets it: what the grids show and let the user type in,
// the row and table buttons with their questions and messages, and the file OK writes.
class TestSetCobIDAccess : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void withoutParGenEveryDataColumnIsEditable();
    void deviceTypeZeroShowsThePortTypes();
    void positiveOffLocksTheModifyColumns();
    void typedCellsAndPickListsAreWrittenOnOk();
    void okReportsTheFirstInvalidRow_data();
    void okReportsTheFirstInvalidRow();
    void pasteNeedsACopyFromThisTableAndOpening();
    void pasteAsksBeforeOverwritingAUsedRow();
    void pasteRefusesACopyOfTheWrongSize();
    void deleteRowAsksAndMovesTheRowsBelowUp();
    void insertedEmptyRowEndsTheTable();
    void compileAllFillsOnlyTheActiveTable();
    void cancelAllEmptiesOnlyTheActiveTable();
    void deviceTypeZeroRowOperationsKeepThePortTypes_data();
    void deviceTypeZeroRowOperationsKeepThePortTypes();
    void enterMovesToTheNextCellUnderTheOption_data();
    void enterMovesToTheNextCellUnderTheOption();
    void enterWhileTypingCommitsAndMoves();
    void enterInTheGridNeverPressesAButton();
    void clickOnARowNumberSelectsThatRow();
    void titleHintsFollowTheGridAndColumn();
    void doubleClickOnATitleFitsTheColumnUnderTheOption();
    void unreadableDocumentKeepsTheWindowClosed_data();
    void unreadableDocumentKeepsTheWindowClosed();
    void surplusRowsAreAnnouncedOnOpening();
    void rowsPastTheTableEndAreAnnouncedOnOpening();
    void overlongCellKeepsTheWindowClosed();
    void failedSaveKeepsTheWindowOpenWithTheEntries();
    void cancelAndCloseBoxWriteNothing_data();
    void cancelAndCloseBoxWriteNothing();
    void pageAndColumnWidthsStayAcrossOpenings();
    void typingAfterAClickEditsTheClickedCell_data();
    void typingAfterAClickEditsTheClickedCell();
    void rowTypedAtOnceAfterInsertRowIsWritten();
    void deleteAndBackspaceClearTheSelectedEditableCells_data();
    void deleteAndBackspaceClearTheSelectedEditableCells();
    void everyOpeningStartsAtTheTopOfBothTables();
    void gridsKeepTheHeightOfTheirPage();

private:
    static QByteArray listXml(const QString &name, const QList<Row> &rows);
    void writeParGen(const QByteArray &elements);
    void writeTables(const QList<Row> &first, const QList<Row> &second = {});
    QByteArray cobIdBytes() const;
    void openWindow();

    template <class T>
    T *child(const QString &name) const
    {
        T *w = m_window->findChild<T *>(name);
        if (!w)
            qFatal("no widget %s", qPrintable(name));
        return w;
    }
    QTableView *grid(int table) const { return m_window->grid(table); }
    QString cell(int table, int row, int column) const
    {
        return grid(table)->model()->index(row, column).data().toString();
    }
    bool editable(int table, int column) const
    {
        return grid(table)->model()->index(0, column).flags() & Qt::ItemIsEditable;
    }
    void showPage(int page);
    void click(const QString &button);
    void setCurrent(int table, int row, int column);
    QWidget *startEditing(int table, int row, int column);
    void typeInto(int table, int row, int column, const QString &text);

    QTemporaryDir *m_dir = nullptr;
    AppState m_state;
    Catalog m_catalog;
    RecordingPrompt *m_prompt = nullptr;
    TFSetCobIDAccess *m_window = nullptr;
};

void TestSetCobIDAccess::init()
{
    m_dir = new QTemporaryDir;
    prepareEditorProject(m_dir->path(), m_state, m_catalog);
    m_prompt = new RecordingPrompt;
    m_window = new TFSetCobIDAccess(m_state, m_catalog);
}

void TestSetCobIDAccess::cleanup()
{
    delete m_window;
    delete m_prompt;
    delete m_dir;
}

QByteArray TestSetCobIDAccess::listXml(const QString &name, const QList<Row> &rows)
{
    QString xml = QStringLiteral("<%1>").arg(name);
    for (const Row &r : rows)
        xml +=
            QStringLiteral("<row Orig_CobID=\"%1\" Type_CobID=\"%2\" Mod_CobID=\"%3\" Type_MCobID=\"%4\" Desc=\"%5\"/>")
                .arg(r.orig, r.origType, r.mod, r.modType, r.desc);
    xml += QStringLiteral("</%1>").arg(name);
    return xml.toUtf8();
}

void TestSetCobIDAccess::writeParGen(const QByteArray &elements)
{
    QFile f(m_state.File_ParGen);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<Par_Gen>" + elements + "</Par_Gen>");
}

void TestSetCobIDAccess::writeTables(const QList<Row> &first, const QList<Row> &second)
{
    QFile f(m_state.File_CobID);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<CanCanCobID>" + listXml(QStringLiteral("Can0_to_Can1"), first)
            + listXml(QStringLiteral("Can1_to_Can0"), second) + "</CanCanCobID><!--SW_VERSION = 2.001-->\n");
}

QByteArray TestSetCobIDAccess::cobIdBytes() const
{
    QFile f(m_state.File_CobID);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestSetCobIDAccess::openWindow()
{
    m_window->open();
    QVERIFY(m_window->isVisible());
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void TestSetCobIDAccess::showPage(int page)
{
    QTabBar *tabs = child<QTabWidget>(QStringLiteral("PageControl1"))->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(page).center());
    QCOMPARE(child<QTabWidget>(QStringLiteral("PageControl1"))->currentIndex(), page);
}

void TestSetCobIDAccess::click(const QString &button)
{
    QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
}

void TestSetCobIDAccess::setCurrent(int table, int row, int column)
{
    QTableView *g = grid(table);
    const QModelIndex index = g->model()->index(row, column);
    g->scrollTo(index);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(index).center());
    QCOMPARE(g->currentIndex(), index);
}

QWidget *TestSetCobIDAccess::startEditing(int table, int row, int column)
{
    setCurrent(table, row, column);
    QTableView *g = grid(table);
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->currentIndex()).center());
    return QApplication::focusWidget() != g ? QApplication::focusWidget() : nullptr;
}

void TestSetCobIDAccess::typeInto(int table, int row, int column, const QString &text)
{
    auto *editor = qobject_cast<QLineEdit *>(startEditing(table, row, column));
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Tab);
    QCOMPARE(cell(table, row, column), text);
}

void TestSetCobIDAccess::withoutParGenEveryDataColumnIsEditable()
{
    openWindow();
    QCOMPARE(m_window->DeviceType, 1);
    QVERIFY(m_window->Imp_Pos);
    for (int t = 0; t < 2; ++t) {
        QVERIFY(!editable(t, 0));
        for (int c = 1; c <= 5; ++c)
            QVERIFY(editable(t, c));
        QVERIFY(cell(t, 0, 2).isEmpty());
        QVERIFY(cell(t, 2047, 4).isEmpty());
        QCOMPARE(cell(t, 2047, 0), QStringLiteral("2048"));
    }
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Set CobID Access"));
    QVERIFY(m_prompt->shown.isEmpty());
}

void TestSetCobIDAccess::deviceTypeZeroShowsThePortTypes()
{
    writeParGen("<Device_Type>0</Device_Type><Type>1</Type><TypeC1>0</TypeC1><Positive>1</Positive>");
    // The file's own types are not read with device type 0.
    writeTables({{QStringLiteral("0x181"), QStringLiteral("junk"), QStringLiteral("0x181"), QString(), QString()}});
    openWindow();
    for (int row : {0, 1, 1000, 2047}) {
        QCOMPARE(cell(0, row, 2), QStringLiteral("2.0B 29bits"));
        QCOMPARE(cell(0, row, 4), QStringLiteral("2.0A 11bits"));
        QCOMPARE(cell(1, row, 2), QStringLiteral("2.0A 11bits"));
        QCOMPARE(cell(1, row, 4), QStringLiteral("2.0B 29bits"));
    }
    for (int t = 0; t < 2; ++t) {
        QVERIFY(!editable(t, 2));
        QVERIFY(!editable(t, 4));
        QVERIFY(editable(t, 1));
        QVERIFY(editable(t, 3));
        QVERIFY(editable(t, 5));
    }
    // A double click on a read-only type cell opens no editor.
    QVERIFY(!startEditing(0, 0, 2));
    QCOMPARE(cell(0, 0, 1), QStringLiteral("0x181"));
}

void TestSetCobIDAccess::positiveOffLocksTheModifyColumns()
{
    writeParGen("<Device_Type>1</Device_Type><Positive>0</Positive>");
    openWindow();
    for (int t = 0; t < 2; ++t) {
        QVERIFY(!editable(t, 3));
        QVERIFY(!editable(t, 4));
        QVERIFY(editable(t, 2));
    }
    typeInto(0, 0, 1, QStringLiteral("0x181"));
    grid(0)->model()->setData(grid(0)->model()->index(0, 2), CobIdTable::type11Bit());
    click(QStringLiteral("Btn_OK"));
    QVERIFY(m_prompt->shown.isEmpty());
    QVERIFY(!m_window->isVisible());
    QCOMPARE(cobIdBytes(),
             QByteArray(
                 "<CanCanCobID><Can0_to_Can1><row Orig_CobID=\"0x181\" Type_CobID=\"2.0A 11bits\" Mod_CobID=\"\" "
                 "Type_MCobID=\"\" Desc=\"\"/></Can0_to_Can1><Can1_to_Can0/></CanCanCobID>"
                 "<!--SW_VERSION = 2.001-->\n"));
}

void TestSetCobIDAccess::typedCellsAndPickListsAreWrittenOnOk()
{
    openWindow();
    typeInto(0, 0, 1, QStringLiteral(" 5"));
    auto *pick = qobject_cast<QComboBox *>(startEditing(0, 0, 2));
    QVERIFY(pick);
    QCOMPARE(pick->count(), 2);
    QCOMPARE(pick->itemText(0), QStringLiteral("2.0A 11bits"));
    QCOMPARE(pick->itemText(1), QStringLiteral("2.0B 29bits"));
    QCOMPARE(pick->currentIndex(), -1);
    QTest::keyClick(pick, Qt::Key_Down);
    QTest::keyClick(pick, Qt::Key_Return);
    QCoreApplication::processEvents(); // the grid commits a choice confirmed by Enter once the key is handled
    QCOMPARE(cell(0, 0, 2), QStringLiteral("2.0A 11bits"));
    typeInto(0, 0, 3, QStringLiteral("0x1FFFFFFF"));
    pick = qobject_cast<QComboBox *>(startEditing(0, 0, 4));
    QVERIFY(pick);
    QTest::keyClick(pick, Qt::Key_End);
    QTest::keyClick(pick, Qt::Key_Return);
    QCoreApplication::processEvents();
    typeInto(0, 0, 5, QStringLiteral("Drive & <sensor>"));
    // An unfinished edit is taken over when OK is pressed.
    auto *open = qobject_cast<QLineEdit *>(startEditing(1, 0, 5));
    QVERIFY(open);
    QTest::keyClicks(open, QStringLiteral("pending"));

    click(QStringLiteral("Btn_OK"));
    QVERIFY(m_prompt->shown.isEmpty());
    QCOMPARE(m_window->result(), int(PraxDialog::ModalOk));
    QCOMPARE(cobIdBytes(),
             QByteArray("<CanCanCobID><Can0_to_Can1><row Orig_CobID=\" 5\" Type_CobID=\"2.0A 11bits\" "
                        "Mod_CobID=\"0x1FFFFFFF\" Type_MCobID=\"2.0B 29bits\" Desc=\"Drive &amp; &lt;sensor&gt;\"/>"
                        "</Can0_to_Can1><Can1_to_Can0/></CanCanCobID><!--SW_VERSION = 2.001-->\n"));
}

void TestSetCobIDAccess::okReportsTheFirstInvalidRow_data()
{
    QTest::addColumn<bool>("positive");
    QTest::addColumn<int>("table");
    QTest::addColumn<int>("row");
    QTest::addColumn<Row>("bad");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("message");
    const QString a = CobIdTable::type11Bit(), b = CobIdTable::type29Bit();
    QTest::newRow("11-bit 0x800 in row 7")
        << true << 0 << 7 << Row{QStringLiteral("0x800"), a, QStringLiteral("1"), a, QString()} << 1
        << QStringLiteral("Error in row 7!! [From CAN 0 to CAN 1] The Original CobID must between 0x000 and 0x7FF");
    QTest::newRow("trailing blank")
        << true << 0 << 2 << Row{QStringLiteral("5 "), a, QStringLiteral("5"), a, QString()} << 1
        << QStringLiteral("Error in row 2!! [From CAN 0 to CAN 1] The Original CobID must between 0x000 and 0x7FF");
    QTest::newRow("no type")
        << true << 0 << 1 << Row{QStringLiteral("1"), QString(), QStringLiteral("1"), a, QString()} << 2
        << QStringLiteral("Error in row 1!! [From CAN 0 to CAN 1] The Type of Original CobID must be selected");
    QTest::newRow("29-bit 0xFFFFFFFF")
        << true << 1 << 3 << Row{QStringLiteral("0xFFFFFFFF"), b, QStringLiteral("1"), a, QString()} << 1
        << QStringLiteral(
               "Error in row 3!! [From CAN 1 to CAN 0] The Original CobID must between 0x00000000 and 0x1FFFFFFF");
    QTest::newRow("empty modify type")
        << true << 1 << 1 << Row{QStringLiteral("1"), a, QString(), QString(), QString()} << 4
        << QStringLiteral("Error in row 1!! [From CAN 1 to CAN 0] The Type of Modify CobID must be selected");
    QTest::newRow("empty modify")
        << true << 0 << 4 << Row{QStringLiteral("9"), a, QString(), b, QString()} << 3
        << QStringLiteral(
               "Error in row 4!! [From CAN 0 to CAN 1] The Modify CobID must between 0x00000000 and 0x1FFFFFFF");
    QTest::newRow("empty modify, positive off")
        << false << 0 << 4 << Row{QStringLiteral("9"), a, QString(), b, QString()} << -1 << QString();
}

void TestSetCobIDAccess::okReportsTheFirstInvalidRow()
{
    QFETCH(bool, positive);
    QFETCH(int, table);
    QFETCH(int, row);
    QFETCH(Row, bad);
    QFETCH(int, column);
    QFETCH(QString, message);
    writeParGen(positive ? "<Device_Type>1</Device_Type><Positive>1</Positive>"
                         : "<Device_Type>1</Device_Type><Positive>0</Positive>");
    QList<Row> rows[2];
    for (int t = 0; t < 2; ++t)
        for (int r = 1; r <= 8; ++r)
            rows[t] << (t == table && r == row ? bad : row11(r));
    // An error in the second table is reported only once the first is valid.
    if (table == 1) {
        rows[0][0] = row11(0);
    }
    writeTables(rows[0], rows[1]);
    openWindow();
    click(QStringLiteral("Btn_OK"));
    if (message.isEmpty()) {
        QVERIFY(m_prompt->shown.isEmpty());
        QVERIFY(!m_window->isVisible());
        return;
    }
    QCOMPARE(m_prompt->shown.size(), 1);
    QCOMPARE(m_prompt->lastKind(), Prompt::Kind::Error);
    QCOMPARE(m_prompt->lastText(), message);
    QVERIFY(m_window->isVisible());
    QFile::remove(m_state.File_CobID);
    QVERIFY(!QFile::exists(m_state.File_CobID));
    // The user is taken to the cell the message is about.
    QCOMPARE(child<QTabWidget>(QStringLiteral("PageControl1"))->currentIndex(), table);
    QCOMPARE(grid(table)->currentIndex(), grid(table)->model()->index(row - 1, column));
    // The entries are all still there.
    QCOMPARE(cell(table, row - 1, 1), bad.orig);
    QCOMPARE(cell(table, 7, 5), QString());
    QCOMPARE(cell(table, 7, 1), QStringLiteral("8"));
}

void TestSetCobIDAccess::pasteNeedsACopyFromThisTableAndOpening()
{
    writeTables({row11(1, QStringLiteral("one")), row11(2)}, {row11(3)});
    openWindow();
    setCurrent(0, 0, 1);
    click(QStringLiteral("Btn_CopyRow"));
    QCOMPARE(m_state.Copied_Row,
             (QStringList{QStringLiteral("1"), CobIdTable::type11Bit(), QStringLiteral("1"), CobIdTable::type11Bit(),
                          QStringLiteral("one")}));
    showPage(1);
    setCurrent(1, 5, 1);
    click(QStringLiteral("Btn_PasteRow"));
    QCOMPARE(m_prompt->shown.size(), 1);
    QCOMPARE(m_prompt->lastKind(), Prompt::Kind::Error);
    QCOMPARE(m_prompt->lastText(), QStringLiteral("Error!!! Copy a valid row before Paste it"));
    QVERIFY(cell(1, 5, 1).isEmpty());

    // A copy made in an earlier opening cannot be pasted either.
    showPage(0);
    QVERIFY(m_window->close());
    openWindow();
    setCurrent(0, 5, 1);
    click(QStringLiteral("Btn_PasteRow"));
    QCOMPARE(m_prompt->shown.size(), 2);
    QCOMPARE(m_prompt->lastText(), QStringLiteral("Error!!! Copy a valid row before Paste it"));
    QVERIFY(cell(0, 5, 1).isEmpty());
}

void TestSetCobIDAccess::pasteAsksBeforeOverwritingAUsedRow()
{
    writeTables({row11(1, QStringLiteral("one")),
                 row11(2),
                 {QString(), QString(), QString(), QString(), QStringLiteral("note")}});
    openWindow();
    // The third row, without an Original CobID, ends the table: opening says so.
    QCOMPARE(m_prompt->shown.size(), 1);
    QVERIFY(m_prompt->lastText().contains(QStringLiteral("row 3 is a row without Original CobID")));
    m_prompt->shown.clear();
    setCurrent(0, 0, 3);
    click(QStringLiteral("Btn_CopyRow"));

    // An empty row takes the copy without a question, and again on a second paste.
    setCurrent(0, 5, 2);
    click(QStringLiteral("Btn_PasteRow"));
    QVERIFY(m_prompt->shown.isEmpty());
    QCOMPARE(cell(0, 5, 1), QStringLiteral("1"));
    QCOMPARE(cell(0, 5, 5), QStringLiteral("one"));

    // A row holding only a Mnemonic is in use: the question comes first.
    setCurrent(0, 2, 1);
    m_prompt->answers.enqueue(false);
    click(QStringLiteral("Btn_PasteRow"));
    QCOMPARE(m_prompt->shown.size(), 1);
    QCOMPARE(m_prompt->lastKind(), Prompt::Kind::Question);
    QCOMPARE(m_prompt->lastText(), QStringLiteral("Row Already used. Do you want to overwrite the values?"));
    QCOMPARE(cell(0, 2, 5), QStringLiteral("note"));
    QVERIFY(cell(0, 2, 1).isEmpty());
    m_prompt->answers.enqueue(true);
    click(QStringLiteral("Btn_PasteRow"));
    QCOMPARE(m_prompt->shown.size(), 2);
    QCOMPARE(cell(0, 2, 1), QStringLiteral("1"));
    QCOMPARE(cell(0, 2, 5), QStringLiteral("one"));
}

void TestSetCobIDAccess::pasteRefusesACopyOfTheWrongSize()
{
    writeTables({row11(1)});
    openWindow();
    setCurrent(0, 0, 1);
    click(QStringLiteral("Btn_CopyRow"));
    m_state.Copied_Row.removeLast();
    setCurrent(0, 4, 1);
    click(QStringLiteral("Btn_PasteRow"));
    QCOMPARE(m_prompt->lastKind(), Prompt::Kind::Error);
    QCOMPARE(m_prompt->lastText(), QStringLiteral("Error in the Copy values!!! Copy a valid row before Paste it"));
    QVERIFY(cell(0, 4, 1).isEmpty());
}

void TestSetCobIDAccess::deleteRowAsksAndMovesTheRowsBelowUp()
{
    QList<Row> ten;
    for (int r = 1; r <= 10; ++r)
        ten << row11(r, QStringLiteral("row %1").arg(r));
    writeTables(ten);
    openWindow();
    setCurrent(0, 4, 3);
    m_prompt->answers.enqueue(false);
    click(QStringLiteral("Btn_DelRow"));
    QCOMPARE(m_prompt->lastKind(), Prompt::Kind::Question);
    QCOMPARE(m_prompt->lastText(), QStringLiteral("Are you sure to delete the Row number 5"));
    QCOMPARE(cell(0, 4, 1), QStringLiteral("5"));

    click(QStringLiteral("Btn_DelRow"));
    for (int r = 4; r < 9; ++r) {
        QCOMPARE(cell(0, r, 1), QString::number(r + 2));
        QCOMPARE(cell(0, r, 5), QStringLiteral("row %1").arg(r + 2));
        QCOMPARE(cell(0, r, 0), QString::number(r + 1));
    }
    for (int c = 1; c <= 5; ++c)
        QVERIFY(cell(0, 9, c).isEmpty());
    QCOMPARE(cell(0, 2047, 0), QStringLiteral("2048"));

    grid(0)->model()->setData(grid(0)->model()->index(2047, 1), QStringLiteral("7"));
    setCurrent(0, 2047, 1);
    click(QStringLiteral("Btn_DelRow"));
    QCOMPARE(m_prompt->lastText(), QStringLiteral("Are you sure to delete the Row number 2048"));
    QVERIFY(cell(0, 2047, 1).isEmpty());
    QCOMPARE(cell(0, 8, 1), QStringLiteral("10"));
}

void TestSetCobIDAccess::insertedEmptyRowEndsTheTable()
{
    QList<Row> ten;
    for (int r = 1; r <= 10; ++r)
        ten << row11(r);
    writeTables(ten, {row11(99)});
    openWindow();
    setCurrent(0, 2, 5);
    click(QStringLiteral("Btn_InsRow"));
    QVERIFY(m_prompt->shown.isEmpty());
    QVERIFY(cell(0, 2, 1).isEmpty());
    QCOMPARE(cell(0, 3, 1), QStringLiteral("3"));
    QCOMPARE(cell(0, 10, 1), QStringLiteral("10"));
    click(QStringLiteral("Btn_OK"));
    QVERIFY(m_prompt->shown.isEmpty());
    QCOMPARE(cobIdBytes(),
             "<CanCanCobID>" + listXml(QStringLiteral("Can0_to_Can1"), {row11(1), row11(2)})
                 + listXml(QStringLiteral("Can1_to_Can0"), {row11(99)}) + "</CanCanCobID><!--SW_VERSION = 2.001-->\n");
}

void TestSetCobIDAccess::compileAllFillsOnlyTheActiveTable()
{
    writeTables({row11(5, QStringLiteral("kept"))}, {row11(6, QStringLiteral("replaced"))});
    openWindow();
    showPage(1);
    m_prompt->answers.enqueue(false);
    click(QStringLiteral("Btn_Compile_All"));
    QCOMPARE(m_prompt->lastKind(), Prompt::Kind::Question);
    QCOMPARE(m_prompt->lastText(), QStringLiteral("Are you sure to cancel all CobID written?"));
    QCOMPARE(cell(1, 0, 1), QStringLiteral("6"));

    click(QStringLiteral("Btn_Compile_All"));
    for (int r : {0, 1, 2047}) {
        QCOMPARE(cell(1, r, 1), QString::number(r));
        QCOMPARE(cell(1, r, 2), CobIdTable::type11Bit());
        QCOMPARE(cell(1, r, 3), QString::number(r));
        QCOMPARE(cell(1, r, 4), CobIdTable::type11Bit());
        QVERIFY(cell(1, r, 5).isEmpty());
    }
    QCOMPARE(cell(0, 0, 5), QStringLiteral("kept"));
    QVERIFY(cell(0, 1, 1).isEmpty());

    click(QStringLiteral("Btn_OK"));
    QCOMPARE(m_prompt->shown.size(), 2);
    CobIdDocument written;
    QVERIFY(written.read(m_state.File_CobID).isEmpty());
    QCOMPARE(written.table(1).usedRowCount(), 2048);
    QCOMPARE(written.table(1).cell(2047, CobIdTable::OrigCobId), QStringLiteral("2047"));
    QCOMPARE(written.table(0).usedRowCount(), 1);
}

void TestSetCobIDAccess::cancelAllEmptiesOnlyTheActiveTable()
{
    writeTables({row11(5), row11(6)}, {row11(7)});
    openWindow();
    click(QStringLiteral("Btn_Cancel_All"));
    QCOMPARE(m_prompt->lastKind(), Prompt::Kind::Question);
    QCOMPARE(m_prompt->lastText(), QStringLiteral("Are you sure to cancel all the CobID?"));
    for (int c = 1; c <= 5; ++c)
        QVERIFY(cell(0, 0, c).isEmpty());
    QCOMPARE(cell(1, 0, 1), QStringLiteral("7"));
    click(QStringLiteral("Btn_OK"));
    QCOMPARE(cobIdBytes(),
             "<CanCanCobID><Can0_to_Can1/>" + listXml(QStringLiteral("Can1_to_Can0"), {row11(7)})
                 + "</CanCanCobID><!--SW_VERSION = 2.001-->\n");
}

void TestSetCobIDAccess::deviceTypeZeroRowOperationsKeepThePortTypes_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("row");
    QTest::newRow("Insert Row") << QStringLiteral("Btn_InsRow") << 1;
    QTest::newRow("Delete Row at the last row") << QStringLiteral("Btn_DelRow") << 2047;
    QTest::newRow("Cancel All") << QStringLiteral("Btn_Cancel_All") << 0;
    QTest::newRow("Compile All") << QStringLiteral("Btn_Compile_All") << 0;
}

void TestSetCobIDAccess::deviceTypeZeroRowOperationsKeepThePortTypes()
{
    QFETCH(QString, button);
    QFETCH(int, row);
    writeParGen("<Device_Type>0</Device_Type><Type>1</Type><TypeC1>0</TypeC1><Positive>1</Positive>");
    writeTables({row11(1), row11(2), row11(3)});
    openWindow();
    setCurrent(0, row, 1);
    click(button);
    for (int r : {0, row, 2047}) {
        QCOMPARE(cell(0, r, 2), CobIdTable::type29Bit());
        QCOMPARE(cell(0, r, 4), CobIdTable::type11Bit());
    }
    // Whatever the user fills in afterwards passes validation: the locked cells are sound.
    grid(0)->model()->setData(grid(0)->model()->index(row, 1), QStringLiteral("0x100"));
    grid(0)->model()->setData(grid(0)->model()->index(row, 3), QStringLiteral("0x101"));
    click(QStringLiteral("Btn_OK"));
    // Compile All already lists 0x100 (row 257): OK warns about the duplicate too.
    const int questions = button == QLatin1String("Btn_InsRow") ? 0
        : button == QLatin1String("Btn_Compile_All")            ? 2
                                                                : 1;
    QCOMPARE(m_prompt->shown.size(), questions);
    QVERIFY(!m_window->isVisible());
}

void TestSetCobIDAccess::enterMovesToTheNextCellUnderTheOption_data()
{
    QTest::addColumn<bool>("option");
    QTest::addColumn<QPoint>("from"); // (column, row)
    QTest::addColumn<QPoint>("to");
    QTest::newRow("on: last cell wraps to the first") << true << QPoint(5, 2047) << QPoint(1, 0);
    QTest::newRow("on: to the right") << true << QPoint(2, 6) << QPoint(3, 6);
    QTest::newRow("on: end of a row") << true << QPoint(5, 6) << QPoint(1, 7);
    QTest::newRow("on: number column stays") << true << QPoint(0, 6) << QPoint(0, 6);
    QTest::newRow("off: last cell") << false << QPoint(5, 2047) << QPoint(5, 2047);
    QTest::newRow("off: row 7") << false << QPoint(2, 6) << QPoint(2, 6);
}

void TestSetCobIDAccess::enterMovesToTheNextCellUnderTheOption()
{
    QFETCH(bool, option);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    m_state.Enable_Jump_Field_Tables = option;
    openWindow();
    setCurrent(0, from.y(), from.x());
    QTest::keyClick(grid(0), Qt::Key_Return);
    QCOMPARE(grid(0)->currentIndex(), grid(0)->model()->index(to.y(), to.x()));
    QVERIFY(m_window->isVisible());
    QVERIFY(m_prompt->shown.isEmpty());
}

void TestSetCobIDAccess::enterWhileTypingCommitsAndMoves()
{
    m_state.Enable_Jump_Field_Tables = true;
    openWindow();
    auto *editor = qobject_cast<QLineEdit *>(startEditing(1, 3, 1));
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("0x7FF"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(cell(1, 3, 1), QStringLiteral("0x7FF"));
    QCOMPARE(grid(1)->currentIndex(), grid(1)->model()->index(3, 2));
}

void TestSetCobIDAccess::enterInTheGridNeverPressesAButton()
{
    writeTables({row11(1), row11(2)});
    openWindow();
    setCurrent(0, 0, 1);
    click(QStringLiteral("Btn_InsRow"));
    QCOMPARE(cell(0, 1, 1), QStringLiteral("1"));
    setCurrent(0, 0, 1);
    QTest::keyClick(grid(0), Qt::Key_Return);
    QTest::keyClick(grid(0), Qt::Key_Enter);
    QCOMPARE(cell(0, 1, 1), QStringLiteral("1"));
    QCOMPARE(cell(0, 2, 1), QStringLiteral("2"));
    QVERIFY(m_window->isVisible());
}

void TestSetCobIDAccess::clickOnARowNumberSelectsThatRow()
{
    openWindow();
    setCurrent(0, 2, 3);
    const QModelIndexList before = grid(0)->selectionModel()->selectedIndexes();
    showPage(1);
    setCurrent(1, 11, 0);
    QModelIndexList selected = grid(1)->selectionModel()->selectedIndexes();
    QCOMPARE(selected.size(), 6);
    for (const QModelIndex &i : selected)
        QCOMPARE(i.row(), 11);
    QVERIFY(grid(1)->selectionModel()->isRowSelected(11, QModelIndex()));
    QCOMPARE(grid(0)->selectionModel()->selectedIndexes(), before);

    // A click elsewhere selects just that cell.
    setCurrent(1, 4, 2);
    QCOMPARE(grid(1)->selectionModel()->selectedIndexes(), QModelIndexList{grid(1)->model()->index(4, 2)});
}

void TestSetCobIDAccess::titleHintsFollowTheGridAndColumn()
{
    openWindow();
    const auto hintOver = [this](int table, int column) {
        QHeaderView *titles = grid(table)->horizontalHeader();
        const QPoint at(titles->sectionViewportPosition(column) + 10, titles->height() / 2);
        QHelpEvent help(QEvent::ToolTip, at, titles->viewport()->mapToGlobal(at));
        // The header takes the event only when the title has a hint to show.
        QApplication::sendEvent(titles->viewport(), &help);
        return help.isAccepted() ? QToolTip::text() : QString();
    };
    QCOMPARE(hintOver(0, 3), QStringLiteral("Insert the Modify CobID for the Filter"));
    showPage(1);
    QCOMPARE(hintOver(1, 3), m_catalog.text(539));
    QCOMPARE(hintOver(1, 2), QStringLiteral("Select the type of Original CobID (2.0A 11 bits or 2.0B 29 bits)"));
    QCOMPARE(hintOver(1, 0), QString());

    // The two grids take their hints from their own catalog entries.
    QString version;
    m_catalog.applyLangText(QStringLiteral("STR534 = hint one\nSTR539 = hint two\n"), version);
    m_window->Set_Lang();
    QCOMPARE(m_window->Hint_C0_C1.at(2), QStringLiteral("hint one"));
    QCOMPARE(hintOver(1, 3), QStringLiteral("hint two"));
    showPage(0);
    QCOMPARE(hintOver(0, 3), QStringLiteral("hint one"));
}

void TestSetCobIDAccess::doubleClickOnATitleFitsTheColumnUnderTheOption()
{
    const QString longest = QStringLiteral("A description far longer than the Mnemonic column is wide by default, "
                                           "so that fitting it has to widen the column");
    writeTables({row11(1, QStringLiteral("short")), row11(2, longest)});
    openWindow();
    QHeaderView *titles = grid(0)->horizontalHeader();
    const auto doubleClickTitle = [&](int column) {
        QTest::mouseDClick(titles->viewport(), Qt::LeftButton, {},
                           QPoint(titles->sectionViewportPosition(column) + 20, titles->height() / 2));
    };
    QCOMPARE(titles->sectionSize(5), 440);
    doubleClickTitle(5);
    QCOMPARE(titles->sectionSize(5), 440);

    m_state.Double_Click_Auto_Size = true;
    doubleClickTitle(5);
    const int textWidth = grid(0)->fontMetrics().horizontalAdvance(longest);
    QVERIFY2(titles->sectionSize(5) >= textWidth && titles->sectionSize(5) <= textWidth + 12,
             qPrintable(QString::number(titles->sectionSize(5))));
    // A column of short numbers narrows to its title.
    doubleClickTitle(3);
    const int titleWidth = titles->fontMetrics().horizontalAdvance(QStringLiteral("Modify CobID"));
    // Bounded by the title, not by a width in pixels: the fonts differ between platforms.
    QVERIFY2(titles->sectionSize(3) >= titleWidth && titles->sectionSize(3) <= titleWidth + 12,
             qPrintable(QString::number(titles->sectionSize(3))));
    // A double click on a data row sizes nothing.
    const int before = titles->sectionSize(1);
    m_window->Auto_Size_Column(grid(0), 5, 1);
    QCOMPARE(titles->sectionSize(1), before);
}

void TestSetCobIDAccess::unreadableDocumentKeepsTheWindowClosed_data()
{
    QTest::addColumn<QString>("parGen");
    QTest::addColumn<QString>("cobId");
    QTest::addColumn<QString>("named");
    QTest::newRow("ParGen.xml not well-formed")
        << QStringLiteral("config/ParGen-malformed.xml") << QString() << QStringLiteral("ParGen.xml");
    QTest::newRow("CanCanCobID.xml not well-formed")
        << QString() << QStringLiteral("config/CanCanCobID-malformed.xml") << QStringLiteral("CanCanCobID.xml");
    QTest::newRow("CanCanCobID.xml with one list")
        << QString() << QStringLiteral("config/CanCanCobID-one-list.xml") << QStringLiteral("CanCanCobID.xml");
}

void TestSetCobIDAccess::unreadableDocumentKeepsTheWindowClosed()
{
    QFETCH(QString, parGen);
    QFETCH(QString, cobId);
    QFETCH(QString, named);
    if (!parGen.isEmpty())
        QVERIFY(QFile::copy(TestPaths::data(parGen), m_state.File_ParGen));
    if (!cobId.isEmpty())
        QVERIFY(QFile::copy(TestPaths::data(cobId), m_state.File_CobID));
    const QByteArray before = cobIdBytes();
    QCOMPARE(m_window->exec(), int(PraxDialog::ModalCancel));
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_prompt->shown.size(), 1);
    QCOMPARE(m_prompt->lastKind(), Prompt::Kind::Error);
    QVERIFY2(m_prompt->lastText().contains(named), qPrintable(m_prompt->lastText()));
    QVERIFY(m_prompt->lastText().contains(QStringLiteral("line")));
    QCOMPARE(cobIdBytes(), before);
}

void TestSetCobIDAccess::surplusRowsAreAnnouncedOnOpening()
{
    QList<Row> many;
    for (int r = 0; r < 2050; ++r)
        many << row11(r % 2048);
    writeTables(many);
    openWindow();
    QCOMPARE(m_prompt->shown.size(), 1);
    QCOMPARE(m_prompt->lastKind(), Prompt::Kind::Warning);
    CobIdDocument::ReadReport report;
    report.surplusRows = {2, 0};
    QCOMPARE(m_prompt->lastText(), CobIdDocument::surplusWarning(report, m_state.File_CobID));
    QVERIFY(m_prompt->lastText().contains(QStringLiteral("CanCanCobID.xml")));
    QCOMPARE(cell(0, 2047, 1), QStringLiteral("2047"));
}

// A comment among the rows ends the table here, while a build still reads the rows after it.
void TestSetCobIDAccess::rowsPastTheTableEndAreAnnouncedOnOpening()
{
    QVERIFY(QFile::copy(TestPaths::data(QStringLiteral("config/CanCanCobID-comment-rows.xml")), m_state.File_CobID));
    openWindow();
    QCOMPARE(m_prompt->shown.size(), 1);
    QCOMPARE(m_prompt->lastKind(), Prompt::Kind::Warning);
    const QString text = m_prompt->lastText();
    QVERIFY2(text.startsWith(QDir::toNativeSeparators(m_state.File_CobID)), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("In Can0_to_Can1 (From CAN 0 to CAN 1), row 2 is a comment, which ends the "
                                          "table: the 3 rows from row 2 on are not shown")),
             qPrintable(text));
    QCOMPARE(cell(0, 0, 1), QStringLiteral("0x181"));
    QCOMPARE(cell(0, 2, 1), QStringLiteral("0x281"));
}

// A cell far longer than any description would make the grid crawl: the document is refused.
void TestSetCobIDAccess::overlongCellKeepsTheWindowClosed()
{
    QVERIFY(QFile::copy(TestPaths::data(QStringLiteral("config/CanCanCobID-long-cell.xml")), m_state.File_CobID));
    QCOMPARE(m_window->exec(), int(PraxDialog::ModalCancel));
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_prompt->shown.size(), 1);
    QCOMPARE(m_prompt->lastKind(), Prompt::Kind::Error);
    QVERIFY2(m_prompt->lastText().contains(
                 QStringLiteral("in row 2 of Can0_to_Can1 the Mnemonic holds 1200 characters; "
                                "a cell holds at most 1024")),
             qPrintable(m_prompt->lastText()));
}

void TestSetCobIDAccess::failedSaveKeepsTheWindowOpenWithTheEntries()
{
    openWindow();
    typeInto(0, 0, 1, QStringLiteral("0x10"));
    grid(0)->model()->setData(grid(0)->model()->index(0, 2), CobIdTable::type11Bit());
    grid(0)->model()->setData(grid(0)->model()->index(0, 3), QStringLiteral("0x10"));
    grid(0)->model()->setData(grid(0)->model()->index(0, 4), CobIdTable::type11Bit());
    // A folder stands where the file should go.
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("CanCanCobID.xml")));
    click(QStringLiteral("Btn_OK"));
    QCOMPARE(m_prompt->shown.size(), 1);
    QCOMPARE(m_prompt->lastKind(), Prompt::Kind::Error);
    QVERIFY2(m_prompt->lastText().contains(QStringLiteral("CanCanCobID.xml")), qPrintable(m_prompt->lastText()));
    QVERIFY(m_window->isVisible());
    QCOMPARE(cell(0, 0, 1), QStringLiteral("0x10"));

    QVERIFY(QDir(m_dir->path()).rmdir(QStringLiteral("CanCanCobID.xml")));
    click(QStringLiteral("Btn_OK"));
    QVERIFY(!m_window->isVisible());
    QVERIFY(cobIdBytes().contains("Orig_CobID=\"0x10\""));
}

void TestSetCobIDAccess::cancelAndCloseBoxWriteNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << QStringLiteral("Btn_Cancel");
    QTest::newRow("close box") << QStringLiteral("close");
    QTest::newRow("Escape, then close box") << QStringLiteral("Escape");
}

void TestSetCobIDAccess::cancelAndCloseBoxWriteNothing()
{
    QFETCH(QString, how);
    writeTables({row11(1), row11(2)}, {row11(3)});
    const QByteArray before = cobIdBytes();
    openWindow();
    click(QStringLiteral("Btn_Compile_All"));
    // An edit still open when the window closes is dropped with the rest.
    auto *editor = qobject_cast<QLineEdit *>(startEditing(1, 0, 5));
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("unsaved"));
    if (how == QLatin1String("Btn_Cancel")) {
        click(how);
    } else {
        if (how == QLatin1String("Escape")) {
            QTest::keyClick(grid(0), Qt::Key_Escape);
            QTest::keyClick(m_window, Qt::Key_Escape);
            QVERIFY(m_window->isVisible());
        }
        QVERIFY(m_window->close());
    }
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_window->result(), int(PraxDialog::ModalCancel));
    QCOMPARE(cobIdBytes(), before);

    openWindow();
    QCOMPARE(cell(0, 0, 1), QStringLiteral("1"));
    QVERIFY(cell(0, 2, 1).isEmpty());
    QVERIFY(cell(1, 0, 5).isEmpty());
    click(QStringLiteral("Btn_OK"));
    QCOMPARE(cobIdBytes(), before);
}

void TestSetCobIDAccess::pageAndColumnWidthsStayAcrossOpenings()
{
    openWindow();
    showPage(1);
    grid(1)->horizontalHeader()->resizeSection(5, 200);
    QVERIFY(m_window->close());
    openWindow();
    QCOMPARE(child<QTabWidget>(QStringLiteral("PageControl1"))->currentIndex(), 1);
    QCOMPARE(grid(1)->horizontalHeader()->sectionSize(5), 200);
    QCOMPARE(grid(0)->horizontalHeader()->sectionSize(5), 440);
    QCOMPARE(grid(0)->horizontalHeader()->sectionSize(0), 40);
    QCOMPARE(grid(0)->verticalHeader()->sectionSize(100), 22);
}

void TestSetCobIDAccess::typingAfterAClickEditsTheClickedCell_data()
{
    QTest::addColumn<int>("clicks");
    QTest::addColumn<bool>("pause");
    QTest::newRow("click on another cell, keys at once") << 1 << false;
    QTest::newRow("click on the selected cell, keys at once") << 2 << false;
    QTest::newRow("click on the selected cell, keys after a pause") << 2 << true;
}

void TestSetCobIDAccess::typingAfterAClickEditsTheClickedCell()
{
    QFETCH(int, clicks);
    QFETCH(bool, pause);
    writeTables({row11(0x181, QStringLiteral("one")), row11(0x182, QStringLiteral("two")),
                 row11(0x183, QStringLiteral("three"))});
    openWindow();
    QTableView *g = grid(0);
    const QPoint at = g->visualRect(g->model()->index(0, 5)).center();
    for (int i = 0; i < clicks; ++i)
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, at);
    if (pause)
        QTest::qWait(QApplication::doubleClickInterval() + 200);
    // Keys go where a user's keys go: to whatever has the focus once the previous key is handled.
    QTest::keyClicks(atFocus, QStringLiteral("tpdo"));
    QTest::keyClick(atFocus, Qt::Key_Return);
    QCOMPARE(cell(0, 0, 5), QStringLiteral("tpdo"));
    QCOMPARE(cell(0, 1, 5), QStringLiteral("two"));
    QCOMPARE(cell(0, 2, 5), QStringLiteral("three"));
    QCOMPARE(g->currentIndex(), g->model()->index(0, 5));
}

void TestSetCobIDAccess::rowTypedAtOnceAfterInsertRowIsWritten()
{
    writeParGen("<Device_Type>0</Device_Type><Type>0</Type><TypeC1>0</TypeC1><Positive>0</Positive>");
    writeTables({row11(0x181), row11(0x182)});
    openWindow();
    setCurrent(0, 0, 1);
    click(QStringLiteral("Btn_InsRow"));
    QTableView *g = grid(0);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->model()->index(0, 1)).center());
    QTest::keyClicks(atFocus, QStringLiteral("0x7FF"));
    click(QStringLiteral("Btn_OK"));
    QVERIFY(m_prompt->shown.isEmpty());
    QCOMPARE(m_window->result(), int(PraxDialog::ModalOk));
    const QByteArray written = cobIdBytes();
    QVERIFY(written.startsWith("<CanCanCobID><Can0_to_Can1><row Orig_CobID=\"0x7FF\""));
    QCOMPARE(written.count("<row "), 3);
}

void TestSetCobIDAccess::deleteAndBackspaceClearTheSelectedEditableCells_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Delete") << int(Qt::Key_Delete);
    QTest::newRow("Backspace") << int(Qt::Key_Backspace);
}

void TestSetCobIDAccess::deleteAndBackspaceClearTheSelectedEditableCells()
{
    QFETCH(int, key);
    writeParGen("<Device_Type>1</Device_Type><Positive>0</Positive>");
    writeTables({{QStringLiteral("0x181"), CobIdTable::type11Bit(), QStringLiteral("0x281"), CobIdTable::type11Bit(),
                  QStringLiteral("one")},
                 row11(0x182, QStringLiteral("two"))});
    openWindow();
    // One cell, then a whole row picked by its number: only the editable cells are emptied.
    setCurrent(0, 1, 5);
    QTest::keyClick(grid(0), Qt::Key(key));
    QCOMPARE(cell(0, 1, 5), QString());
    QCOMPARE(cell(0, 1, 1), QStringLiteral("386"));
    QVERIFY(!qobject_cast<QLineEdit *>(QApplication::focusWidget()));

    setCurrent(0, 0, 0);
    QTest::keyClick(grid(0), Qt::Key(key));
    QCOMPARE(cell(0, 0, 0), QStringLiteral("1"));
    QCOMPARE(cell(0, 0, 1), QString());
    QCOMPARE(cell(0, 0, 2), QString());
    QCOMPARE(cell(0, 0, 3), QStringLiteral("0x281")); // read-only with positive implementation off
    QCOMPARE(cell(0, 0, 4), CobIdTable::type11Bit());
    QCOMPARE(cell(0, 0, 5), QString());
    QCOMPARE(cell(0, 1, 1), QStringLiteral("386"));
}

void TestSetCobIDAccess::everyOpeningStartsAtTheTopOfBothTables()
{
    openWindow();
    for (int t = 0; t < 2; ++t) {
        const QModelIndex far = grid(t)->model()->index(1500, 4);
        grid(t)->setCurrentIndex(far);
        grid(t)->scrollTo(far);
    }
    QVERIFY(m_window->close());
    openWindow();
    for (int t = 0; t < 2; ++t) {
        QCOMPARE(grid(t)->currentIndex(), grid(t)->model()->index(0, 1));
        QCOMPARE(grid(t)->rowAt(0), 0);
        QCOMPARE(grid(t)->columnAt(0), 0);
    }
}

void TestSetCobIDAccess::gridsKeepTheHeightOfTheirPage()
{
    openWindow();
    const QSize opened = m_window->size();
    for (int t = 0; t < 2; ++t) {
        showPage(t);
        QWidget *page = child<QTabWidget>(QStringLiteral("PageControl1"))->currentWidget();
        QCOMPARE(grid(t)->height(), page->height());
    }
    // The frame check may grow the window while it shows, and gives the height back.
    showPage(0);
    auto *frames = child<QPushButton>(QStringLiteral("Btn_Frames_C0_C1"));
    QVERIFY(frames->isVisible());
    click(QStringLiteral("Btn_Frames_C0_C1"));
    QVERIFY(m_window->height() > opened.height());
    click(QStringLiteral("Btn_Frames_C0_C1"));
    QCOMPARE(m_window->size(), opened);
}

QTEST_MAIN(TestSetCobIDAccess)
#include "tst_setcobidaccess.moc"
