// The editors' OK over a document another program wrote after the window read it: the window
// asks whether to reload it, overwrite it or go back, and each answer does what it says. The
// other program is a real one: praxedo-cli import, a second window, or a stand-in saving
// through the program's own code.
#include "CliRun.h"
#include "EditorProject.h"
#include "RecordingPrompt.h"
#include "TestPaths.h"

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "core/config/CobIdDocument.h"
#include "core/config/ParGen.h"
#include "core/projects/ProjectLock.h"
#include "ui/config/CobIdTableModel.h"
#include "ui/config/TFParGen2.h"
#include "ui/config/TFSetCobIDAccess.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <memory>

namespace {

enum Answer { Reload = 0, Overwrite = 1, GoBack = 2 };

constexpr char kCsvHeader[] = "Original CobID,Type CobID,Modify CobID,Type CobID,Mnemonic\n";

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

CobIdDocument cobIdOnDisk(const QString &path)
{
    CobIdDocument doc;
    const QString error = doc.read(path);
    if (!error.isEmpty())
        qFatal("%s", qPrintable(error));
    return doc;
}

// A used row passing one 11-bit identifier unchanged.
void setRow(CobIdTable &table, int row, const QString &id)
{
    table.setCell(row, CobIdTable::OrigCobId, id);
    table.setCell(row, CobIdTable::TypeCobId, CobIdTable::type11Bit());
    table.setCell(row, CobIdTable::ModCobId, id);
    table.setCell(row, CobIdTable::TypeMCobId, CobIdTable::type11Bit());
}

// The same row typed into the window's grid.
void typeRow(TFSetCobIDAccess &window, int table, int row, const QString &id)
{
    CobIdTableModel *model = window.model(table);
    const QString type = CobIdTable::type11Bit();
    const QString cells[] = {id, type, id, type};
    for (int c = 0; c < 4; ++c)
        QVERIFY(model->setData(model->index(row, c + 1), cells[c]));
}

QString shownCell(const TFSetCobIDAccess &window, int table, int row)
{
    return window.model(table)->index(row, CobIdTable::OrigCobId + 1).data().toString();
}

void clickOk(QWidget &window)
{
    auto *ok = window.findChild<QPushButton *>(QStringLiteral("Btn_OK"));
    QVERIFY(ok);
    QTest::mouseClick(ok, Qt::LeftButton);
}

} // namespace

class TestChangedOnDisk : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void filterWindowAfterAnImport_data();
    void filterWindowAfterAnImport();
    void secondFilterWindowAsksAfterTheFirstSaved();
    void retryAfterTheLockMessageStillAsks();
    void settingsWindowAfterAnotherSave_data();
    void settingsWindowAfterAnotherSave();
    void nothingChangedSavesWithoutAQuestion_data();
    void nothingChangedSavesWithoutAQuestion();

private:
    // Runs praxedo-cli import of one row into the first table; the document's bytes after it.
    QByteArray importRow(const QString &id);
    void saveCobId(const QString &firstTableId);
    QList<RecordingPrompt::Shown> questions() const;
    void verifyChangedQuestion(const QString &path) const;

    QTemporaryDir *m_dir = nullptr;
    AppState m_state;
    Catalog m_catalog;
    RecordingPrompt *m_prompt = nullptr;
};

void TestChangedOnDisk::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    prepareEditorProject(m_dir->path(), m_state, m_catalog);
    m_prompt = new RecordingPrompt;
    ProjectLock::setWaitTime(std::chrono::milliseconds(200));
}

void TestChangedOnDisk::cleanup()
{
    delete m_prompt;
    delete m_dir;
}

QByteArray TestChangedOnDisk::importRow(const QString &id)
{
    const QString csv = m_dir->filePath(QStringLiteral("rows.csv"));
    if (!CliRun::put(csv,
                     QByteArray(kCsvHeader) + id.toLatin1() + ",2.0A 11bits," + id.toLatin1()
                         + ",2.0A 11bits,imported\n"))
        qFatal("cannot write %s", qPrintable(csv));
    const CliRun::Result r =
        CliRun::run({QStringLiteral("import"), m_dir->path(), QStringLiteral("--table"), QStringLiteral("0"), csv});
    if (r.exitCode != 0)
        qFatal("import failed: %s", r.err.constData());
    return fileBytes(m_state.File_CobID);
}

void TestChangedOnDisk::saveCobId(const QString &firstTableId)
{
    CobIdDocument doc;
    setRow(doc.table(0), 0, firstTableId);
    QCOMPARE(doc.save(m_state.File_CobID), QString());
}

QList<RecordingPrompt::Shown> TestChangedOnDisk::questions() const
{
    QList<RecordingPrompt::Shown> found;
    for (const RecordingPrompt::Shown &s : m_prompt->shown) {
        if (s.kind == Prompt::Kind::Question)
            found.append(s);
    }
    return found;
}

void TestChangedOnDisk::verifyChangedQuestion(const QString &path) const
{
    const QList<RecordingPrompt::Shown> asked = questions();
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.first().text,
             m_catalog.text(TextId::DocumentChangedOnDisk).arg(QDir::toNativeSeparators(path)) + QStringLiteral("\n\n")
                 + m_catalog.text(TextId::DocumentChangedQuestion));
    QCOMPARE(m_prompt->lastChoices,
             QStringList({QStringLiteral("Reload"), QStringLiteral("Overwrite"), QStringLiteral("Go back")}));
}

void TestChangedOnDisk::filterWindowAfterAnImport_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("reload") << int(Reload);
    QTest::newRow("overwrite") << int(Overwrite);
    QTest::newRow("go back") << int(GoBack);
}

void TestChangedOnDisk::filterWindowAfterAnImport()
{
    QFETCH(int, answer);
    saveCobId(QStringLiteral("0x100"));
    TFSetCobIDAccess window(m_state, m_catalog);
    window.open();
    QVERIFY(window.isVisible());
    typeRow(window, 1, 0, QStringLiteral("0x222"));

    const QByteArray imported = importRow(QStringLiteral("0x300"));
    QCOMPARE(cobIdOnDisk(m_state.File_CobID).table(0).cell(0, CobIdTable::OrigCobId), QStringLiteral("0x300"));

    m_prompt->choices.enqueue(answer);
    clickOk(window);
    verifyChangedQuestion(m_state.File_CobID);

    switch (answer) {
    case Reload:
        QCOMPARE(fileBytes(m_state.File_CobID), imported);
        QVERIFY(window.isVisible());
        QCOMPARE(shownCell(window, 0, 0), QStringLiteral("0x300"));
        QCOMPARE(shownCell(window, 1, 0), QString());
        // What was reloaded is what the window now compares with: OK saves without asking.
        m_prompt->clear();
        clickOk(window);
        QVERIFY(questions().isEmpty());
        QVERIFY(!window.isVisible());
        QVERIFY(cobIdOnDisk(m_state.File_CobID) == window.document());
        QCOMPARE(window.document().table(0).cell(0, CobIdTable::OrigCobId), QStringLiteral("0x300"));
        break;
    case Overwrite:
        QVERIFY(!window.isVisible());
        QCOMPARE(cobIdOnDisk(m_state.File_CobID).table(0).cell(0, CobIdTable::OrigCobId), QStringLiteral("0x100"));
        QCOMPARE(cobIdOnDisk(m_state.File_CobID).table(1).cell(0, CobIdTable::OrigCobId), QStringLiteral("0x222"));
        break;
    case GoBack:
        QCOMPARE(fileBytes(m_state.File_CobID), imported);
        QVERIFY(window.isVisible());
        QCOMPARE(shownCell(window, 0, 0), QStringLiteral("0x100"));
        QCOMPARE(shownCell(window, 1, 0), QStringLiteral("0x222"));
        // Going back settles nothing: the next OK asks again.
        m_prompt->clear();
        clickOk(window);
        QCOMPARE(questions().size(), 1);
        QCOMPARE(fileBytes(m_state.File_CobID), imported);
        QVERIFY(window.isVisible());
        break;
    }
}

void TestChangedOnDisk::secondFilterWindowAsksAfterTheFirstSaved()
{
    TFSetCobIDAccess first(m_state, m_catalog);
    TFSetCobIDAccess second(m_state, m_catalog);
    first.open();
    second.open();
    QVERIFY(first.isVisible() && second.isVisible());
    typeRow(first, 0, 0, QStringLiteral("0x111"));
    typeRow(second, 0, 0, QStringLiteral("0x222"));

    clickOk(first);
    QVERIFY(questions().isEmpty());
    QVERIFY(!first.isVisible());
    const QByteArray firstSaved = fileBytes(m_state.File_CobID);
    QCOMPARE(cobIdOnDisk(m_state.File_CobID).table(0).cell(0, CobIdTable::OrigCobId), QStringLiteral("0x111"));

    m_prompt->choices.enqueue(GoBack);
    clickOk(second);
    verifyChangedQuestion(m_state.File_CobID);
    QVERIFY(second.isVisible());
    QCOMPARE(fileBytes(m_state.File_CobID), firstSaved);
}

void TestChangedOnDisk::retryAfterTheLockMessageStillAsks()
{
    saveCobId(QStringLiteral("0x100"));
    TFSetCobIDAccess window(m_state, m_catalog);
    window.open();
    typeRow(window, 1, 0, QStringLiteral("0x222"));
    const QByteArray imported = importRow(QStringLiteral("0x300"));

    QProcess holder;
    holder.start(TestPaths::tool(QStringLiteral("hold_lock")), {m_dir->path()});
    QVERIFY(holder.waitForReadyRead(60000));
    QVERIFY(holder.readAllStandardOutput().startsWith("held"));
    clickOk(window);
    QCOMPARE(m_prompt->lastKind(), Prompt::Kind::Error);
    QVERIFY(questions().isEmpty());
    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(60000));

    m_prompt->clear();
    m_prompt->choices.enqueue(GoBack);
    clickOk(window);
    verifyChangedQuestion(m_state.File_CobID);
    QCOMPARE(fileBytes(m_state.File_CobID), imported);
    QVERIFY(window.isVisible());
}

void TestChangedOnDisk::settingsWindowAfterAnotherSave_data()
{
    filterWindowAfterAnImport_data();
}

void TestChangedOnDisk::settingsWindowAfterAnotherSave()
{
    QFETCH(int, answer);
    const auto saveLoop = [this](const char *variant) {
        QProcess p;
        p.start(TestPaths::tool(QStringLiteral("save_loop")),
                {QStringLiteral("pargen"), m_dir->path(), QStringLiteral("once"), QLatin1String(variant)});
        return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    };
    // Variant A: with Ethernet, CAN 0 at bit rate 8; B: without Ethernet, CAN 0 at bit rate 3.
    QVERIFY(saveLoop("A"));
    TFParGen2 window(m_state, m_catalog);
    window.open();
    QVERIFY(window.isVisible());
    QCOMPARE(window.values().boud0, 8);
    auto *baud = window.findChild<QComboBox *>(QStringLiteral("CB_CAN0_Baudrate"));
    QVERIFY(baud);
    baud->setCurrentIndex(5);

    QVERIFY(saveLoop("B"));
    const QByteArray other = fileBytes(m_state.File_ParGen);
    m_prompt->choices.enqueue(answer);
    clickOk(window);
    verifyChangedQuestion(m_state.File_ParGen);

    ParGenValues onDisk;
    QCOMPARE(ParGen::readForSettingsWindow(m_state.File_ParGen, onDisk), QString());
    switch (answer) {
    case Reload:
        QCOMPARE(fileBytes(m_state.File_ParGen), other);
        QVERIFY(window.isVisible());
        QCOMPARE(window.values().boud0, 3);
        QCOMPARE(window.values().deviceType, 0);
        break;
    case Overwrite:
        QVERIFY(!window.isVisible());
        QCOMPARE(onDisk.boud0, 5);
        QCOMPARE(onDisk.deviceType, 1);
        break;
    case GoBack:
        QCOMPARE(fileBytes(m_state.File_ParGen), other);
        QVERIFY(window.isVisible());
        QCOMPARE(window.values().boud0, 5);
        QCOMPARE(window.values().deviceType, 1);
        break;
    }
}

void TestChangedOnDisk::nothingChangedSavesWithoutAQuestion_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<bool>("present");   // the document is there when the window opens
    QTest::addColumn<bool>("rewritten"); // another writer put the same bytes back meanwhile
    for (const QString &editor : {QStringLiteral("TFSetCobIDAccess"), QStringLiteral("TFParGen2")}) {
        QTest::addRow("%s, no document", qPrintable(editor)) << editor << false << false;
        QTest::addRow("%s, document untouched", qPrintable(editor)) << editor << true << false;
        QTest::addRow("%s, same bytes written again", qPrintable(editor)) << editor << true << true;
    }
}

void TestChangedOnDisk::nothingChangedSavesWithoutAQuestion()
{
    QFETCH(QString, editor);
    QFETCH(bool, present);
    QFETCH(bool, rewritten);
    const bool filters = editor == QLatin1String("TFSetCobIDAccess");
    const QString path = filters ? m_state.File_CobID : m_state.File_ParGen;
    if (present && filters)
        saveCobId(QStringLiteral("0x100"));
    else if (present)
        QCOMPARE(ParGen::save(ParGen::valuesWithoutFile(), path), QString());
    const QByteArray before = fileBytes(path);

    std::unique_ptr<PraxDialog> window;
    if (filters)
        window = std::make_unique<TFSetCobIDAccess>(m_state, m_catalog);
    else
        window = std::make_unique<TFParGen2>(m_state, m_catalog);
    window->open();
    QVERIFY(window->isVisible());
    if (filters)
        typeRow(static_cast<TFSetCobIDAccess &>(*window), 1, 0, QStringLiteral("0x222"));
    if (rewritten) {
        QVERIFY(QFile::remove(path));
        QVERIFY(CliRun::put(path, before));
    }

    clickOk(*window);
    QVERIFY2(m_prompt->shown.isEmpty(), qPrintable(m_prompt->lastText()));
    QVERIFY(!window->isVisible());
    QVERIFY(QFile::exists(path));
    if (filters)
        QCOMPARE(cobIdOnDisk(path).table(1).cell(0, CobIdTable::OrigCobId), QStringLiteral("0x222"));
}

QTEST_MAIN(TestChangedOnDisk)
#include "tst_changedondisk.moc"
