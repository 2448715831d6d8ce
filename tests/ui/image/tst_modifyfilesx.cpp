#include "RecordingPrompt.h"
#include "TestPaths.h"

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "ui/image/TFModifyFileSx.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Executable folder, MASTER with the firmware, and a project (a blank in its name) whose bin
// folder holds the five banks.
struct Workspace
{
    QTemporaryDir tmp;
    AppState state;
    Catalog catalog;

    struct Start
    {
        QString program;
        QString file;
        int port;
    };
    QList<Start> starts;
    QString startError;

    explicit Workspace(const QByteArray &firmware = readAll(TestPaths::data(QStringLiteral("srec/basic.sx"))))
    {
        catalog.Load_Default_Texts();
        state.Dir_Exe = tmp.path();
        state.Dir_Master = tmp.filePath(QStringLiteral("MASTER"));
        state.Dir_Projects = tmp.filePath(QStringLiteral("PROJECTS"));
        state.Name_Project = QStringLiteral("Demo Project");
        state.Dir_Project = QDir(state.Dir_Projects).filePath(state.Name_Project);
        QDir().mkpath(state.Dir_Master);
        QDir().mkpath(state.Dir_Project + QStringLiteral("/bin"));
        if (!firmware.isNull())
            writeFile(firmwarePath(), firmware);
        QRandomGenerator gen(5);
        for (int k = 1; k <= 5; ++k) {
            QByteArray bank(16384, Qt::Uninitialized);
            for (char &c : bank)
                c = char(gen.bounded(256));
            writeFile(state.Dir_Project + QStringLiteral("/bin/bank%1.bin").arg(k), bank);
        }
    }
    QString firmwarePath() const { return state.Dir_Master + QStringLiteral("/FX58104.sx"); }
    QString newFile() const { return QDir::toNativeSeparators(state.Dir_Project + QStringLiteral("/New_FX58104.sx")); }
    QString tool() const { return QDir::toNativeSeparators(state.Dir_Exe + QStringLiteral("/Burnquill.exe")); }
    void installTool() { writeFile(tool(), "stand-in"); }

    void record(TFModifyFileSx &w)
    {
        w.setToolStarter([this](const QString &program, const QString &file, int port) {
            starts.append({program, file, port});
            return startError;
        });
    }
};

template <typename T>
T *child(QWidget &w, const char *name)
{
    return w.findChild<T *>(QLatin1String(name));
}

} // namespace

class TestModifyFileSx : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { m_cwd = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(m_cwd); }

    void showing();
    void showingAgainResets();
    void firmwareMissing();
    void startsTool_data();
    void startsTool();
    void stopsBeforeTool_data();
    void stopsBeforeTool();
    void failedStartIsReported();
    void realToolGetsTwoArguments();

private:
    QString m_cwd;
};

void TestModifyFileSx::showing()
{
    Workspace ws;
    RecordingPrompt prompt;
    TFModifyFileSx w(ws.state, ws.catalog);
    w.show();

    QCOMPARE(w.windowTitle(), QStringLiteral("Generate Firmware"));
    QVERIFY(!(w.windowFlags() & Qt::WindowCloseButtonHint));
    QCOMPARE(w.size(), QSize(430, 224));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect frame = w.frameGeometry();
    QCOMPARE(frame.topLeft(), QPoint(screen.width() / 2 - frame.width() / 2, screen.height() / 2 - frame.height()));

    auto *port = child<QComboBox>(w, "cbport");
    QCOMPARE(port->count(), 8);
    QCOMPARE(port->itemText(0), QStringLiteral("COM1"));
    QCOMPARE(port->itemText(7), QStringLiteral("COM8"));
    QVERIFY(!port->isEditable());
    QCOMPARE(child<QPushButton>(w, "LbButton2")->text(), QStringLiteral("Execute update firmware"));
    QVERIFY(child<QPushButton>(w, "LbButton2")->isEnabled());
    QVERIFY(!child<QWidget>(w, "GbBank")->isVisible());
    for (int k = 1; k <= 5; ++k)
        QCOMPARE(child<QCheckBox>(w, QStringLiteral("Cbbank%1").arg(k).toLatin1())->isChecked(), k <= 2);

    QCOMPARE(w.files().NomeFileSx, QStringLiteral("FX58104.sx"));
    QCOMPARE(w.files().NomeFileSxNew, QStringLiteral("New_FX58104.sx"));
    QVERIFY(w.files().NomeDirSxNew.endsWith(QDir::separator()));
    QCOMPARE(QDir(w.files().NomeDirBin), QDir(ws.state.Dir_Project + QStringLiteral("/bin")));
    QCOMPARE(QDir::current(), QDir(ws.state.Dir_Master));
    QVERIFY(prompt.shown.isEmpty());

    QTest::mouseClick(child<QPushButton>(w, "LbButton1"), Qt::LeftButton);
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), int(PraxDialog::ModalCancel));
}

void TestModifyFileSx::showingAgainResets()
{
    Workspace ws;
    ws.installTool();
    RecordingPrompt prompt;
    TFModifyFileSx w(ws.state, ws.catalog);
    ws.record(w);
    w.show();
    auto *port = child<QComboBox>(w, "cbport");
    auto *bar = child<QProgressBar>(w, "Avanzamento");
    port->setCurrentIndex(5);
    QTest::mouseClick(child<QPushButton>(w, "LbButton2"), Qt::LeftButton);
    QVERIFY(bar->value() > 0);
    w.hide();

    QDir(ws.state.Dir_Project + QStringLiteral("/bin")).removeRecursively();
    w.show();
    QCOMPARE(port->currentIndex(), 0);
    QCOMPARE(bar->value(), 0);
    QVERIFY(w.files().NomeDirBin.isEmpty());
}

void TestModifyFileSx::firmwareMissing()
{
    Workspace ws{QByteArray()};
    RecordingPrompt prompt;
    TFModifyFileSx w(ws.state, ws.catalog);
    w.show();
    QCOMPARE(prompt.shown.size(), 1);
    QCOMPARE(prompt.lastKind(), Prompt::Kind::Error);
    QCOMPARE(prompt.lastText(), QStringLiteral("Error file FX58104.sx not found"));
    QVERIFY(!child<QPushButton>(w, "LbButton2")->isEnabled());
    QVERIFY(w.isVisible());
}

void TestModifyFileSx::startsTool_data()
{
    QTest::addColumn<int>("port");
    QTest::newRow("COM1") << 0;
    QTest::newRow("COM3") << 2;
    QTest::newRow("COM8") << 7;
}

void TestModifyFileSx::startsTool()
{
    QFETCH(int, port);
    Workspace ws;
    ws.installTool();
    RecordingPrompt prompt;
    TFModifyFileSx w(ws.state, ws.catalog);
    ws.record(w);
    w.show();
    child<QComboBox>(w, "cbport")->setCurrentIndex(port);
    QTest::mouseClick(child<QPushButton>(w, "LbButton2"), Qt::LeftButton);

    QVERIFY(prompt.shown.isEmpty());
    QCOMPARE(ws.starts.size(), 1);
    QCOMPARE(ws.starts[0].program, ws.tool());
    QCOMPARE(ws.starts[0].file, ws.newFile());
    QCOMPARE(ws.starts[0].port, port);
    QVERIFY(readAll(ws.newFile()).contains("S224388000"));
    auto *bar = child<QProgressBar>(w, "Avanzamento");
    QVERIFY(bar->maximum() > 512);
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(w.isVisible());
    // The window says what was done; the next showing starts blank.
    auto *status = child<QLabel>(w, "L_Status");
    QCOMPARE(status->text(),
             QStringLiteral("Firmware file written: %1\nBurnquill.exe started on COM%2")
                 .arg(ws.newFile(), QString::number(port + 1)));
    w.hide();
    w.show();
    QCOMPARE(status->text(), QString());
}

void TestModifyFileSx::stopsBeforeTool_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<bool>("bin");
    QTest::addColumn<bool>("tool");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("newFile");
    QTest::newRow("no bin folder") << "basic.sx" << false << true << "Directory Bin Not Found,Abort Procedure" << false;
    QTest::newRow("no S9 record") << "nos9.sx" << true << true
                                  << "File FX58104.sx Has No S9 Record,Abort Procedure\n"
                                     "Line 4 is an S8 record; the file must end with S9."
                                  << false;
    // The device would run without the user's filters while the user believes them flashed.
    QTest::newRow("no data in bank 1's range")
        << "outside.sx" << true << true
        << "Bank 1 Not Merged: FX58104.sx Has No Data Record Between 0x388000 And 0x38BFFF,Abort Procedure\n"
           "A device flashed with it would run without this configuration."
        << false;
    QTest::newRow("tool missing") << "basic.sx" << true << false << "Burnquill.exe Not Found, Procedure Aborted"
                                  << true;
}

void TestModifyFileSx::stopsBeforeTool()
{
    QFETCH(QString, fixture);
    QFETCH(bool, bin);
    QFETCH(bool, tool);
    QFETCH(QString, message);
    QFETCH(bool, newFile);
    Workspace ws(readAll(TestPaths::data(QStringLiteral("srec/") + fixture)));
    if (!bin)
        QDir(ws.state.Dir_Project + QStringLiteral("/bin")).removeRecursively();
    if (tool)
        ws.installTool();
    RecordingPrompt prompt;
    TFModifyFileSx w(ws.state, ws.catalog);
    ws.record(w);
    w.show();
    QVERIFY(child<QPushButton>(w, "LbButton2")->isEnabled());
    QTest::mouseClick(child<QPushButton>(w, "LbButton2"), Qt::LeftButton);

    QCOMPARE(prompt.shown.size(), 1);
    QCOMPARE(prompt.lastKind(), Prompt::Kind::Plain);
    QCOMPARE(prompt.lastText(), message);
    QVERIFY(ws.starts.isEmpty());
    QCOMPARE(QFile::exists(ws.newFile()), newFile);
    QCOMPARE(QDir(ws.state.Dir_Project).entryList({QStringLiteral("B?.sx")}, QDir::Files), QStringList());
}

void TestModifyFileSx::failedStartIsReported()
{
    Workspace ws;
    ws.installTool();
    ws.startError = QStringLiteral("Cannot start Burnquill.exe: permission denied");
    RecordingPrompt prompt;
    TFModifyFileSx w(ws.state, ws.catalog);
    ws.record(w);
    w.show();
    QTest::mouseClick(child<QPushButton>(w, "LbButton2"), Qt::LeftButton);
    QCOMPARE(ws.starts.size(), 1);
    QCOMPARE(prompt.shown.size(), 1);
    QCOMPARE(prompt.lastKind(), Prompt::Kind::Error);
    QCOMPARE(prompt.lastText(), ws.startError);
    QCOMPARE(child<QLabel>(w, "L_Status")->text(), QStringLiteral("Firmware file written: ") + ws.newFile());
}

// The real start: a stand-in in the tool's place records what it received.
void TestModifyFileSx::realToolGetsTwoArguments()
{
    Workspace ws;
    QVERIFY(QFile::copy(TestPaths::tool(QStringLiteral("flashtool_standin")), ws.tool()));
    QVERIFY(QFile::setPermissions(ws.tool(), QFile::permissions(ws.tool()) | QFile::ExeOwner));
    RecordingPrompt prompt;
    TFModifyFileSx w(ws.state, ws.catalog);
    w.show();
    child<QComboBox>(w, "cbport")->setCurrentIndex(7);
    QTest::mouseClick(child<QPushButton>(w, "LbButton2"), Qt::LeftButton);
    QVERIFY(prompt.shown.isEmpty());

    const QString received = ws.state.Dir_Exe + QStringLiteral("/received.txt");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(received), 60000);
    QCOMPARE(QString::fromUtf8(readAll(received)), QStringLiteral("2\n") + ws.newFile() + QStringLiteral("\n7\n"));
}

QTEST_MAIN(TestModifyFileSx)
#include "tst_modifyfilesx.moc"
