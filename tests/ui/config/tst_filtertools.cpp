#include "EditorProject.h"
#include "RecordingPrompt.h"
#include "ScriptedFileChooser.h"
#include "TestPaths.h"

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "core/config/CobIdDocument.h"
#include "core/i18n/Language.h"
#include "ui/config/CobIdTableModel.h"
#include "ui/config/FrameCheckPanel.h"
#include "ui/config/IdSpaceView.h"
#include "ui/config/TFSetCobIDAccess.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace {

constexpr char kA[] = "2.0A 11bits";
constexpr char kB[] = "2.0B 29bits";

QByteArray row(const QByteArray &orig, const QByteArray &type, const QByteArray &mod, const QByteArray &modType,
               const QByteArray &desc = QByteArray())
{
    return "<row Orig_CobID=\"" + orig + "\" Type_CobID=\"" + type + "\" Mod_CobID=\"" + mod + "\" Type_MCobID=\""
        + modType + "\" Desc=\"" + desc + "\"/>";
}

QByteArray pass11(int id)
{
    const QByteArray t = QByteArray::number(id);
    return row(t, kA, t, kA);
}

} // namespace

// The helpers the filter window offers around its tables: how full each table is, the
// duplicate warning on OK, import and export, and what the device does with a frame.
class TestFilterTools : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void rowCountFollowsEveryChange();
    void okWarnsAboutDuplicates_data();
    void okWarnsAboutDuplicates();
    void importAsksReplaceOrAdd_data();
    void importAsksReplaceOrAdd();
    void importIntoEmptyTableAsksNothing();
    void refusedImportChangesNothing_data();
    void refusedImportChangesNothing();
    void importRefusedWhileRowsAreHidden();
    void exportWritesTheEditedTable();
    void exportFailureIsShown();
    void exportOverAProjectFileIsRefused();
    void frameCheckAnswersFromTheEditedTables_data();
    void frameCheckAnswersFromTheEditedTables();
    void frameCheckFollowsEdits();
    void frameCheckNamesWhatTheDeviceWillGet();
    void pictureShowsEachDirection();
    void clickOnTheMapAsksAboutThatIdentifier();
    void frameCheckFollowsTheVariant_data();
    void replayShowsTheTraffic();
    void replayRefusesAPipe();
    void importAsksToTakeWideIdentifiersAs29Bit_data();
    void importAsksToTakeWideIdentifiersAs29Bit();
    void frameCheckFollowsTheVariant();
    void frameCheckFollowsTheLanguage();
    void importErrorFollowsTheLanguage();

private:
    void writeDocs(const QByteArray &parGen, const QByteArray &rows0, const QByteArray &rows1 = QByteArray());
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
    QString cell(int table, int row, int column) const
    {
        return m_window->grid(table)->model()->index(row, column).data().toString();
    }
    void setCell(int table, int row, int column, const QString &text)
    {
        QAbstractItemModel *model = m_window->grid(table)->model();
        QVERIFY(model->setData(model->index(row, column), text));
    }
    void click(const QString &button) { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }
    void showFrames(const QString &suffix)
    {
        child<QTabWidget>(QStringLiteral("PageControl1"))->setCurrentIndex(suffix == QLatin1String("_C1_C0") ? 1 : 0);
        child<QPushButton>(QStringLiteral("Btn_Frames") + suffix)->setChecked(true);
        QVERIFY(child<FrameCheckPanel>(QStringLiteral("P_Frames") + suffix)->isVisible());
    }
    QString ask(const QString &suffix, const QString &id, bool extended = false)
    {
        child<QCheckBox>(QStringLiteral("CB_Ext") + suffix)->setChecked(extended);
        child<QLineEdit>(QStringLiteral("E_Frame") + suffix)->setText(id);
        return child<QLabel>(QStringLiteral("L_Frame") + suffix)->text();
    }

    QTemporaryDir *m_dir = nullptr;
    AppState m_state;
    Catalog m_catalog;
    RecordingPrompt *m_prompt = nullptr;
    ScriptedFileChooser *m_files = nullptr;
    TFSetCobIDAccess *m_window = nullptr;
};

namespace {
// What the main window does on a language change, without the main window.
void loadItalian(Catalog &catalog)
{
    catalog.Load_Default_Texts();
    QString ver;
    QVERIFY(Language::Load_Lang_File(catalog,
                                     QDir::cleanPath(TestPaths::data(u"../../resources/LANGUAGE/Italiano.lng"_qs)),
                                     ver));
}
} // namespace

void TestFilterTools::init()
{
    m_dir = new QTemporaryDir;
    prepareEditorProject(m_dir->path(), m_state, m_catalog);
    m_prompt = new RecordingPrompt;
    m_files = new ScriptedFileChooser;
    m_window = new TFSetCobIDAccess(m_state, m_catalog);
}

void TestFilterTools::cleanup()
{
    delete m_window;
    delete m_files;
    delete m_prompt;
    delete m_dir;
}

void TestFilterTools::writeDocs(const QByteArray &parGen, const QByteArray &rows0, const QByteArray &rows1)
{
    if (!parGen.isEmpty()) {
        QFile f(m_state.File_ParGen);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<Par_Gen>" + parGen + "</Par_Gen>");
    }
    QFile f(m_state.File_CobID);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<CanCanCobID><Can0_to_Can1>" + rows0 + "</Can0_to_Can1><Can1_to_Can0>" + rows1
            + "</Can1_to_Can0></CanCanCobID><!--SW_VERSION = 2.001-->\n");
}

QByteArray TestFilterTools::cobIdBytes() const
{
    QFile f(m_state.File_CobID);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestFilterTools::openWindow()
{
    m_window->open();
    QVERIFY(m_window->isVisible());
}

void TestFilterTools::rowCountFollowsEveryChange()
{
    writeDocs("<Device_Type>1</Device_Type><Positive>1</Positive>", pass11(1) + pass11(2) + pass11(3), pass11(9));
    openWindow();
    QLabel *rows0 = child<QLabel>(QStringLiteral("L_Rows_C0_C1"));
    QLabel *rows1 = child<QLabel>(QStringLiteral("L_Rows_C1_C0"));
    QCOMPARE(rows0->text(), QStringLiteral("3 of 2048 rows used"));
    QCOMPARE(rows1->text(), QStringLiteral("1 of 2048 rows used"));
    setCell(0, 3, 1, QStringLiteral("0x100"));
    QCOMPARE(rows0->text(), QStringLiteral("4 of 2048 rows used"));
    // A blank Original CobID ends the table there.
    m_window->grid(0)->setCurrentIndex(m_window->grid(0)->model()->index(1, 1));
    click(QStringLiteral("Btn_InsRow"));
    QCOMPARE(rows0->text(), QStringLiteral("1 of 2048 rows used"));
    click(QStringLiteral("Btn_Compile_All"));
    QCOMPARE(rows0->text(), QStringLiteral("2048 of 2048 rows used"));
    QCOMPARE(rows1->text(), QStringLiteral("1 of 2048 rows used"));
    // Every opening starts from the file again.
    m_window->reject();
    openWindow();
    QCOMPARE(rows0->text(), QStringLiteral("3 of 2048 rows used"));
}

void TestFilterTools::okWarnsAboutDuplicates_data()
{
    QTest::addColumn<bool>("saveAnyway");
    QTest::newRow("go back") << false;
    QTest::newRow("save anyway") << true;
}

void TestFilterTools::okWarnsAboutDuplicates()
{
    QFETCH(bool, saveAnyway);
    // 0x181 and 385 are the same identifier; 0x200 as 11-bit and as 29-bit are not.
    writeDocs("<Device_Type>1</Device_Type><Positive>0</Positive>",
              row("0x181", kA, "", "") + row("0x200", kA, "", "") + row("0x200", kB, "", "") + row("385", kA, "", ""),
              row("7", kA, "", "") + row("$7", kA, "", ""));
    openWindow();
    const QByteArray before = cobIdBytes();
    setCell(0, 3, 5, QStringLiteral("edited"));
    m_prompt->answers.enqueue(saveAnyway);
    click(QStringLiteral("Btn_OK"));
    QCOMPARE(m_prompt->shown.size(), 1);
    QCOMPARE(m_prompt->lastKind(), Prompt::Kind::Question);
    QCOMPARE(m_prompt->lastText(),
             QStringLiteral(
                 "Original identifiers listed more than once:\n\n[From CAN 0 to CAN 1]\n0x181 (11-bit) in rows 1, 4\n\n"
                 "[From CAN 1 to CAN 0]\n0x007 (11-bit) in rows 1, 2\n\n"
                 "Save the tables anyway? Choose No to go back to them."));
    if (saveAnyway) {
        QVERIFY(!m_window->isVisible());
        QVERIFY(cobIdBytes().contains("edited"));
        return;
    }
    QVERIFY(m_window->isVisible());
    QCOMPARE(cobIdBytes(), before);
    // Back at the second row of the first duplicate, with the edit still there.
    QCOMPARE(child<QTabWidget>(QStringLiteral("PageControl1"))->currentIndex(), 0);
    QCOMPARE(m_window->grid(0)->currentIndex(), m_window->grid(0)->model()->index(3, 1));
    QCOMPARE(cell(0, 3, 5), QStringLiteral("edited"));
}

void TestFilterTools::importAsksReplaceOrAdd_data()
{
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<QStringList>("origs"); // the used rows afterwards
    QTest::addColumn<int>("questions");
    QTest::newRow("replace") << QList<bool>{true} << QStringList{u"0x181"_qs, u"0x18FEF100"_qs, u"0x7FF"_qs} << 1;
    QTest::newRow("add") << QList<bool>{false, true}
                         << QStringList{u"1"_qs, u"2"_qs, u"0x181"_qs, u"0x18FEF100"_qs, u"0x7FF"_qs} << 2;
    QTest::newRow("neither") << QList<bool>{false, false} << QStringList{u"1"_qs, u"2"_qs} << 2;
}

void TestFilterTools::importAsksReplaceOrAdd()
{
    QFETCH(QList<bool>, answers);
    QFETCH(QStringList, origs);
    QFETCH(int, questions);
    writeDocs("<Device_Type>1</Device_Type><Positive>1</Positive>", QByteArray(), pass11(1) + pass11(2));
    openWindow();
    const QByteArray before = cobIdBytes();
    const QString dbc = TestPaths::data(u"extras/vehicle.dbc"_qs);
    m_files->answers.enqueue(dbc);
    for (bool a : answers)
        m_prompt->answers.enqueue(a);
    click(QStringLiteral("Btn_Import_C1_C0"));
    QCOMPARE(m_files->requests, QStringList{u"Import into From CAN 1 to CAN 0 | "_qs + m_state.Dir_Project});
    QCOMPARE(m_prompt->shown.size(), questions);
    QCOMPARE(m_prompt->shown.first().text,
             u"Replace the 2 used rows of From CAN 1 to CAN 0 with the 3 rows of vehicle.dbc?"_qs);
    if (questions > 1)
        QCOMPARE(m_prompt->shown.at(1).text, u"Add the 3 rows of vehicle.dbc after the 2 used rows instead?"_qs);
    for (int r = 0; r < origs.size(); ++r)
        QCOMPARE(cell(1, r, 1), origs.at(r));
    QVERIFY(cell(1, origs.size(), 1).isEmpty());
    QCOMPARE(child<QLabel>(QStringLiteral("L_Rows_C1_C0"))->text(),
             QStringLiteral("%1 of 2048 rows used").arg(origs.size()));
    if (origs.size() == 5) // with positive implementation the messages pass unchanged
        QCOMPARE(cell(1, 3, 3), u"0x18FEF100"_qs);
    // Only OK writes the document.
    QCOMPARE(cobIdBytes(), before);
    QVERIFY(cell(0, 0, 1).isEmpty());
}

void TestFilterTools::importIntoEmptyTableAsksNothing()
{
    openWindow();
    m_files->answers.enqueue(TestPaths::data(u"extras/table.csv"_qs));
    click(QStringLiteral("Btn_Import_C0_C1"));
    QVERIFY(m_prompt->shown.isEmpty());
    QCOMPARE(cell(0, 0, 5), u"Speed, left"_qs);
    QCOMPARE(cell(0, 2, 5), u"two\r\nlines"_qs);
    QCOMPARE(cell(0, 3, 1), u" 5"_qs);
    // The next dialog starts where the file came from.
    click(QStringLiteral("Btn_Import_C0_C1"));
    QCOMPARE(m_files->requests.last(), u"Import into From CAN 0 to CAN 1 | "_qs + TestPaths::data(u"extras"_qs));
}

void TestFilterTools::refusedImportChangesNothing_data()
{
    QTest::addColumn<QString>("file"); // empty: the dialog is cancelled
    QTest::addColumn<QString>("error");
    QTest::newRow("cancelled") << QString() << QString();
    QTest::newRow("malformed CSV")
        << u"extras/unclosed-quote.csv"_qs
        << u"unclosed-quote.csv, line 3: the quoted field that starts on this line is not closed"_qs;
    QTest::newRow("malformed DBC")
        << u"extras/bad-id.dbc"_qs
        << u"bad-id.dbc, line 6: the message identifier 0x181 is not a decimal number up to 4294967295"_qs;
    // Files that hold nothing to import never empty the table.
    QTest::newRow("CSV with only the header")
        << u"extras/header-only.csv"_qs << u"header-only.csv holds only the header, no row: nothing imported"_qs;
    QTest::newRow("DBC without a message")
        << u"extras/no-message.dbc"_qs << u"no-message.dbc holds no message (no BO_ line): nothing imported"_qs;
    QTest::newRow("empty DBC") << u"extras/empty.dbc"_qs << u"empty.dbc is empty: nothing imported"_qs;
    QTest::newRow("29-bit message on an 11-bit port")
        << u"extras/vehicle.dbc"_qs
        << u"vehicle.dbc, line 15: the Original CobID type 2.0B 29bits differs from 2.0A 11bits, the type of the port it belongs to "
           "(a device without Ethernet port takes the row types from its ports)"_qs;
}

void TestFilterTools::refusedImportChangesNothing()
{
    QFETCH(QString, file);
    QFETCH(QString, error);
    writeDocs("<Device_Type>0</Device_Type><Type>0</Type><TypeC1>0</TypeC1><Positive>1</Positive>",
              pass11(1) + pass11(2));
    openWindow();
    if (!file.isEmpty())
        m_files->answers.enqueue(TestPaths::data(file));
    click(QStringLiteral("Btn_Import_C0_C1"));
    QCOMPARE(m_files->requests.size(), 1);
    if (error.isEmpty()) {
        QVERIFY(m_prompt->shown.isEmpty());
    } else {
        QCOMPARE(m_prompt->lastKind(), Prompt::Kind::Error);
        QVERIFY2(m_prompt->lastText().endsWith(error), qPrintable(m_prompt->lastText()));
    }
    QCOMPARE(cell(0, 0, 1), u"1"_qs);
    QCOMPARE(cell(0, 1, 1), u"2"_qs);
    QVERIFY(cell(0, 2, 1).isEmpty());
    QCOMPARE(child<QLabel>(QStringLiteral("L_Rows_C0_C1"))->text(), QStringLiteral("2 of 2048 rows used"));
}

// Rows of the other table that the window does not show would be lost on OK after an import:
// the import is refused, naming them, before a file is even asked for.
void TestFilterTools::importRefusedWhileRowsAreHidden()
{
    writeDocs(QByteArray(), pass11(1), pass11(5) + "<!-- cut -->" + pass11(6));
    openWindow();
    m_files->answers.enqueue(TestPaths::data(u"extras/table.csv"_qs));
    click(QStringLiteral("Btn_Import_C0_C1"));
    QCOMPARE(m_files->requests.size(), 0);
    QCOMPARE(m_prompt->lastKind(), Prompt::Kind::Error);
    QVERIFY2(m_prompt->lastText().startsWith(u"Nothing imported"_qs), qPrintable(m_prompt->lastText()));
    QCOMPARE(cell(0, 0, 1), u"1"_qs);
    QVERIFY(cell(0, 1, 1).isEmpty());
}

void TestFilterTools::exportWritesTheEditedTable()
{
    writeDocs("<Device_Type>1</Device_Type><Positive>1</Positive>", pass11(1), row("0x181", kA, "0x281", kA, "a, b"));
    openWindow();
    setCell(1, 1, 1, u"0x182"_qs);
    setCell(1, 1, 2, QString::fromLatin1(kB));
    QTemporaryDir out;
    const QString csv = out.filePath(u"t.csv"_qs);
    m_files->answers.enqueue(csv);
    click(QStringLiteral("Btn_Export_C1_C0"));
    QCOMPARE(m_files->requests,
             QStringList{
                 u"Export From CAN 1 to CAN 0 | "_qs
                 + joinPath(m_state.Dir_Project, QDir(m_state.Dir_Project).dirName() + u"_Can1_to_Can0.csv"_qs)});
    QVERIFY(m_prompt->shown.isEmpty());
    QFile f(csv);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(),
             QByteArray("Original CobID,Type CobID,Modify CobID,Type CobID,Mnemonic\r\n"
                        "0x181,2.0A 11bits,0x281,2.0A 11bits,\"a, b\"\r\n"
                        "0x182,2.0B 29bits,,,\r\n"));
}

void TestFilterTools::exportFailureIsShown()
{
    openWindow();
    const QString csv = m_dir->filePath(u"missing-folder/t.csv"_qs);
    m_files->answers.enqueue(csv);
    click(QStringLiteral("Btn_Export_C0_C1"));
    QCOMPARE(m_prompt->lastKind(), Prompt::Kind::Error);
    QVERIFY2(m_prompt->lastText().startsWith(u"Cannot write "_qs + QDir::toNativeSeparators(csv)),
             qPrintable(m_prompt->lastText()));
}

// Picking the project's own table document as the CSV would destroy it: refused by name.
void TestFilterTools::exportOverAProjectFileIsRefused()
{
    writeDocs(QByteArray(), pass11(385));
    const QByteArray before = cobIdBytes();
    openWindow();
    m_files->answers.enqueue(m_state.File_CobID);
    click(QStringLiteral("Btn_Export_C0_C1"));
    QCOMPARE(m_prompt->lastKind(), Prompt::Kind::Error);
    QVERIFY2(m_prompt->lastText().contains(QDir::toNativeSeparators(m_state.File_CobID)),
             qPrintable(m_prompt->lastText()));
    QCOMPARE(cobIdBytes(), before);
}

void TestFilterTools::frameCheckAnswersFromTheEditedTables_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("id");
    QTest::addColumn<bool>("extended");
    QTest::addColumn<QString>("answer");
    const QString pass = u"Listed; with positive implementation a listed identifier passes under its replacement."_qs;
    QTest::newRow("remapped")
        << u"_C0_C1"_qs << u"385"_qs << false
        << u"From CAN 0 to CAN 1: frame 0x181 (11-bit) passes and leaves CAN 1 as 0x281 (11-bit).\n"_qs + pass;
    QTest::newRow("to 29-bit")
        << u"_C0_C1"_qs << u"$7FF"_qs << false
        << u"From CAN 0 to CAN 1: frame 0x7FF (11-bit) passes and leaves CAN 1 as 0x1FFFFFFF (29-bit).\n"_qs + pass;
    QTest::newRow("blocked") << u"_C0_C1"_qs << u"0x182"_qs << false
                             << u"From CAN 0 to CAN 1: frame 0x182 (11-bit) is blocked.\n"
                                "Not listed; with positive implementation only listed identifiers pass."_qs;
    QTest::newRow("29-bit")
        << u"_C1_C0"_qs << u"0x18FEF100"_qs << true
        << u"From CAN 1 to CAN 0: frame 0x18FEF100 (29-bit) passes and leaves CAN 0 as 0x18FEF100 (29-bit).\n"_qs
            + pass;
    QTest::newRow("same number, 11-bit") << u"_C1_C0"_qs << u"0x100"_qs << false
                                         << u"From CAN 1 to CAN 0: frame 0x100 (11-bit) is blocked.\n"
                                            "Not listed; with positive implementation only listed identifiers pass."_qs;
    QTest::newRow("too large") << u"_C0_C1"_qs << u"0x800"_qs << false << u"Not an 11-bit identifier: 0 to 0x7FF."_qs;
    QTest::newRow("not a number") << u"_C0_C1"_qs << u"0x"_qs << false << u"Not an 11-bit identifier: 0 to 0x7FF."_qs;
    QTest::newRow("29-bit too large") << u"_C1_C0"_qs << u"0x20000000"_qs << true
                                      << u"Not a 29-bit identifier: 0 to 0x1FFFFFFF."_qs;
    QTest::newRow("empty") << u"_C0_C1"_qs << QString() << false << QString();
}

void TestFilterTools::frameCheckAnswersFromTheEditedTables()
{
    QFETCH(QString, suffix);
    QFETCH(QString, id);
    QFETCH(bool, extended);
    QFETCH(QString, answer);
    writeDocs("<Device_Type>1</Device_Type><Positive>1</Positive>",
              row("0x181", kA, "0x281", kA) + row("0x7FF", kA, "0x1FFFFFFF", kB),
              row("0x18FEF100", kB, "0x18FEF100", kB) + row("0x100", kB, "0x100", kB));
    openWindow();
    showFrames(suffix);
    QCOMPARE(ask(suffix, id, extended), answer);
}

void TestFilterTools::frameCheckFollowsEdits()
{
    writeDocs("<Device_Type>1</Device_Type><Positive>1</Positive>", row("0x181", kA, "0x281", kA));
    openWindow();
    showFrames(u"_C0_C1"_qs);
    QVERIFY(ask(u"_C0_C1"_qs, u"0x181"_qs)
                .startsWith(u"From CAN 0 to CAN 1: frame 0x181 (11-bit) passes and leaves CAN 1 as 0x281"_qs));
    setCell(0, 0, 3, u"0x300"_qs);
    const QString label = child<QLabel>(u"L_Frame_C0_C1"_qs)->text();
    QVERIFY2(label.startsWith(u"From CAN 0 to CAN 1: frame 0x181 (11-bit) passes and leaves CAN 1 as 0x300"_qs),
             qPrintable(label));
    // A table that OK would refuse is answered for, with the reason it is not valid yet.
    setCell(0, 0, 3, u"0x800"_qs);
    QVERIFY(child<QLabel>(u"L_Frame_C0_C1"_qs)
                ->text()
                .endsWith(u"The tables are not valid yet (Error in row 1!! [From CAN 0 to CAN 1] The Modify CobID must "
                          "between 0x000 and 0x7FF); OK refuses them."_qs));
    // Import goes through the same path.
    m_files->answers.enqueue(TestPaths::data(u"extras/vehicle.dbc"_qs));
    click(u"Btn_Import_C0_C1"_qs);
    QVERIFY(ask(u"_C0_C1"_qs, u"0x181"_qs)
                .startsWith(u"From CAN 0 to CAN 1: frame 0x181 (11-bit) passes and leaves CAN 1 as 0x181"_qs));
}

void TestFilterTools::frameCheckNamesWhatTheDeviceWillGet()
{
    // Without ParGen.xml the window edits with positive implementation, but the image built
    // for the device has it off: listed identifiers are blocked.
    writeDocs(QByteArray(), row("0x181", kA, "0x281", kA));
    openWindow();
    QVERIFY(m_window->Imp_Pos);
    showFrames(u"_C0_C1"_qs);
    QCOMPARE(ask(u"_C0_C1"_qs, u"0x181"_qs),
             u"From CAN 0 to CAN 1: frame 0x181 (11-bit) is blocked.\n"
             "Listed; without positive implementation a listed identifier is blocked.\n"
             "The device gets positive implementation off: ParGen.xml is missing or does not switch it on."_qs);
}

void TestFilterTools::pictureShowsEachDirection()
{
    writeDocs("<Device_Type>1</Device_Type><Positive>0</Positive>", row("0x181", kA, "", "") + row("0x182", kA, "", ""),
              row("0x10", kB, "", ""));
    openWindow();
    showFrames(u"_C0_C1"_qs);
    showFrames(u"_C1_C0"_qs);
    auto *map0 = child<IdSpaceView>(u"P_Map_C0_C1"_qs);
    auto *map1 = child<IdSpaceView>(u"P_Map_C1_C0"_qs);
    QCOMPARE(map0->legendText(), u"Pass 2046  Block 2  Remapped 0"_qs);
    QCOMPARE(map0->space()[0x181], FilterImage::Fate::Block);
    // A 29-bit row leaves the 11-bit identifiers alone.
    QCOMPARE(map1->legendText(), u"Pass 2048  Block 0  Remapped 0"_qs);
    child<QTabWidget>(u"PageControl1"_qs)->setCurrentIndex(1);
    click(u"Btn_Compile_All"_qs);
    QCOMPARE(map1->legendText(), u"Pass 0  Block 2048  Remapped 0"_qs);
    QCOMPARE(map0->legendText(), u"Pass 2046  Block 2  Remapped 0"_qs);
}

void TestFilterTools::clickOnTheMapAsksAboutThatIdentifier()
{
    writeDocs("<Device_Type>1</Device_Type><Positive>1</Positive>", row("0x181", kA, "0x281", kA));
    openWindow();
    showFrames(u"_C0_C1"_qs);
    child<QCheckBox>(u"CB_Ext_C0_C1"_qs)->setChecked(true);
    auto *map = child<IdSpaceView>(u"P_Map_C0_C1"_qs);
    const QRectF cells = map->cellArea();
    const qreal w = cells.width() / 64, h = cells.height() / 32;
    const int cellColumn = 0x181 % 64, cellRow = 0x181 / 64;
    const QPointF centre(cells.left() + (cellColumn + 0.5) * w, cells.top() + (cellRow + 0.5) * h);
    QTest::mouseClick(map, Qt::LeftButton, {}, centre.toPoint());
    QCOMPARE(child<QLineEdit>(u"E_Frame_C0_C1"_qs)->text(), u"0x181"_qs);
    QVERIFY(!child<QCheckBox>(u"CB_Ext_C0_C1"_qs)->isChecked());
    QCOMPARE(map->marked(), 0x181);
    QVERIFY(child<QLabel>(u"L_Frame_C0_C1"_qs)->text().contains(u"leaves CAN 1 as 0x281 (11-bit)"_qs));
}

void TestFilterTools::frameCheckFollowsTheVariant_data()
{
    QTest::addColumn<QByteArray>("parGen");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("source");
    // 0x200 listed twice: the image answers with the first row, the banks hold the last.
    QTest::newRow("Ethernet")
        << QByteArray("<Device_Type>1</Device_Type><Positive>1</Positive>") << u"leaves CAN 1 as 0x300 (11-bit)"_qs
        << u"Answers as the device runs bank_K60.bin (Ethernet variant), built from these tables."_qs;
    QTest::newRow("serial")
        << QByteArray("<Boud0>8</Boud0><Boud1>8</Boud1><Type>0</Type><Positive>1</Positive>"
                      "<Baud_Dip_C0>0</Baud_Dip_C0><Baud_Dip_C1>0</Baud_Dip_C1><TypeC1>1</TypeC1>"
                      "<Device_Type>0</Device_Type>")
        << u"leaves CAN 1 as 0x00000301 (29-bit)"_qs
        << u"Answers as the device runs bank1.bin and bank2.bin (serial variant), built from these tables."_qs;
}

void TestFilterTools::frameCheckFollowsTheVariant()
{
    QFETCH(QByteArray, parGen);
    QFETCH(QString, answer);
    QFETCH(QString, source);
    const QByteArray modType = parGen.contains("<TypeC1>1") ? kB : kA;
    writeDocs(parGen, row("0x200", kA, "0x300", modType) + row("0x200", kA, "0x301", modType));
    openWindow();
    showFrames(u"_C0_C1"_qs);
    const QString got = ask(u"_C0_C1"_qs, u"0x200"_qs);
    QVERIFY2(got.contains(answer), qPrintable(got));
    const QString shown = child<FrameCheckPanel>(u"P_Frames_C0_C1"_qs)->sourceText();
    QVERIFY2(shown.startsWith(source), qPrintable(shown));
}

void TestFilterTools::replayShowsTheTraffic()
{
    writeDocs("<Device_Type>1</Device_Type><Positive>1</Positive>", row("0x181", kA, "0x281", kA));
    openWindow();
    const QString trace = m_dir->filePath(u"bus.log"_qs);
    QFile f(trace);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("(1.000) can0 181#11\n(1.001) can0 181#11\n(1.002) can0 182#\n(1.003) can0 181#11\n");
    f.close();
    // The replay follows the table as edited, not as saved.
    setCell(0, 1, 1, u"0x182"_qs);
    setCell(0, 1, 2, QString::fromLatin1(kA));
    setCell(0, 1, 3, u"0x182"_qs);
    setCell(0, 1, 4, QString::fromLatin1(kA));
    m_files->answers.enqueue(trace);
    click(u"Btn_Replay_C0_C1"_qs);
    auto *panel = child<FrameCheckPanel>(u"P_Frames_C0_C1"_qs);
    QVERIFY(panel->isVisible());
    const QString summary = panel->replayText();
    QVERIFY2(
        summary.startsWith(
            u"bus.log\nFrom CAN 0 to CAN 1, candump log of 4 lines:\nin: 4 frames, 2 identifiers\n"
            "passed: 4 frames, 2 identifiers\nremapped: 3 frames, 1 identifier\nblocked: 0 frames, 0 identifiers\n"_qs),
        qPrintable(summary));
    QVERIFY2(summary.contains(u"Load on CAN 1 at 1000 kbit/s"_qs), qPrintable(summary));
    const std::vector<quint64> &traffic = panel->map()->traffic();
    QCOMPARE(traffic.size(), size_t(2048));
    QCOMPARE(traffic[0x181], 3u);
    QCOMPARE(traffic[0x182], 1u);
    QCOMPARE(traffic[0x183], 0u);
    QVERIFY(m_prompt->shown.isEmpty());
    // An edit makes the summary stale.
    setCell(0, 1, 3, u"0x183"_qs);
    QVERIFY(panel->replayText().isEmpty());
}

// A pipe chosen as the trace would wait for a writer with the window frozen.
void TestFilterTools::replayRefusesAPipe()
{
#ifdef Q_OS_WIN
    QSKIP("Windows has no named pipe in the file system to choose");
#else
    writeDocs("<Device_Type>1</Device_Type><Positive>1</Positive>", row("0x181", kA, "0x281", kA));
    openWindow();
    const QString fifo = m_dir->filePath(u"bus.log"_qs);
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    m_files->answers.enqueue(fifo);
    click(u"Btn_Replay_C0_C1"_qs);
    QCOMPARE(m_prompt->lastKind(), RecordingPrompt::Kind::Error);
    QCOMPARE(m_prompt->lastText(),
             Catalog::defaults().text(TextId::ReadNotRegular).arg(QDir::toNativeSeparators(fifo)));
#endif
}

void TestFilterTools::importAsksToTakeWideIdentifiersAs29Bit_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestFilterTools::importAsksToTakeWideIdentifiersAs29Bit()
{
    QFETCH(bool, yes);
    writeDocs("<Device_Type>1</Device_Type><Positive>1</Positive>", QByteArray());
    openWindow();
    const QString dbc = m_dir->filePath(u"wide.dbc"_qs);
    QFile f(dbc);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("BU_: ECU1\n\nBO_ 385 Speed: 8 ECU1\nBO_ 419361024 EEC1: 8 ECU1\n");
    f.close();
    m_files->answers.enqueue(dbc);
    m_prompt->answers.enqueue(yes);
    click(u"Btn_Import_C0_C1"_qs);
    QCOMPARE(m_prompt->shown.size(), 1);
    QVERIFY2(m_prompt->shown.first().text.endsWith(u"line 4: EEC1 (419361024)\n\nTake them as 29-bit identifiers?"_qs),
             qPrintable(m_prompt->shown.first().text));
    QCOMPARE(cell(0, 0, 1), yes ? u"0x181"_qs : QString());
    QCOMPARE(cell(0, 1, 1), yes ? u"0x18FEF100"_qs : QString());
    QCOMPARE(cell(0, 1, 2), yes ? QString::fromLatin1(kB) : QString());
}

// Everything the frame check shows follows a language change, the answer on screen included.
void TestFilterTools::frameCheckFollowsTheLanguage()
{
    writeDocs("<Boud0>8</Boud0><Boud1>8</Boud1><Type>1</Type><Positive>1</Positive><Baud_Dip_C0>0</Baud_Dip_C0>"
              "<Baud_Dip_C1>0</Baud_Dip_C1><TypeC1>1</TypeC1><Device_Type>0</Device_Type>",
              row("0x181", kB, "0x281", kB) + row("0x181", kB, "0x282", kB));
    openWindow();
    showFrames(u"_C0_C1"_qs);
    const QString english = ask(u"_C0_C1"_qs, u"0x181"_qs);
    QVERIFY2(english.startsWith(u"From CAN 0 to CAN 1: frame 0x181 (11-bit) passes"_qs), qPrintable(english));
    auto *map = child<IdSpaceView>(u"P_Map_C0_C1"_qs);
    QVERIFY2(map->legendText().startsWith(u"Pass "_qs), qPrintable(map->legendText()));

    loadItalian(m_catalog);
    m_window->Set_Lang();
    const QString answer = child<QLabel>(u"L_Frame_C0_C1"_qs)->text();
    QVERIFY2(answer.startsWith(
                 u"Da CAN 0 a CAN 1: il frame 0x181 (11 bit) passa ed esce da CAN 1 come 0x00000282 (29 bit).\n"
                 "Elencato; con l'implementazione positiva"_qs),
             qPrintable(answer));
    QVERIFY2(answer.contains(u"2 righe elencano questo identificatore; è mostrata l'ultima."_qs), qPrintable(answer));
    QCOMPARE(child<QLabel>(u"L_Frame_Title_C0_C1"_qs)->text(), u"Che cosa succede a questo frame da CAN 0?"_qs);
    QCOMPARE(child<QCheckBox>(u"CB_Ext_C0_C1"_qs)->text(), u"29 bit"_qs);
    QCOMPARE(child<QLineEdit>(u"E_Frame_C0_C1"_qs)->placeholderText(), u"Identificatore, ad es. 0x181"_qs);
    QVERIFY2(map->legendText().startsWith(u"Passati 0  Bloccati 2047  Rimappati 1"_qs), qPrintable(map->legendText()));
    const QString source = child<FrameCheckPanel>(u"P_Frames_C0_C1"_qs)->sourceText();
    QVERIFY2(source.startsWith(u"Risposte come le darebbe il dispositivo con "_qs)
                 && source.contains(u"(variante seriale)"_qs)
                 && source.contains(u"\nSi presume: I banchi non contengono indicatori di 29 bit"_qs)
                 && source.contains(u"(CAN 0: 29 bit, CAN 1: 29 bit)"_qs) && !source.contains(u"assumed"_qs),
             qPrintable(source));
    ask(u"_C0_C1"_qs, u"0x800"_qs);
    QCOMPARE(child<QLabel>(u"L_Frame_C0_C1"_qs)->text(), u"Non è un identificatore a 11 bit: da 0 a 0x7FF."_qs);

    // And back: nothing of the Italian stays behind.
    m_catalog.Load_Default_Texts();
    m_window->Set_Lang();
    QCOMPARE(child<QLabel>(u"L_Frame_C0_C1"_qs)->text(), u"Not an 11-bit identifier: 0 to 0x7FF."_qs);
    QVERIFY(map->legendText().startsWith(u"Pass 0  Block 2047"_qs));
}

// Messages made in the core follow the language the configurator has loaded; praxedo-cli,
// which loads none, keeps the English ones.
void TestFilterTools::importErrorFollowsTheLanguage()
{
    writeDocs("<Device_Type>1</Device_Type><Positive>1</Positive>", pass11(1));
    openWindow();
    loadItalian(catalog());
    loadItalian(m_catalog);
    m_window->Set_Lang();
    m_files->answers.enqueue(TestPaths::data(u"extras/unclosed-quote.csv"_qs));
    click(u"Btn_Import_C0_C1"_qs);
    const QString shown = m_prompt->lastText();
    catalog() = Catalog();
    QVERIFY2(shown.endsWith(
                 u"unclosed-quote.csv, riga 3: il campo tra virgolette che inizia su questa riga non è chiuso"_qs),
             qPrintable(shown));
    QCOMPARE(cell(0, 0, 1), u"1"_qs);
}

QTEST_MAIN(TestFilterTools)
#include "tst_filtertools.moc"
