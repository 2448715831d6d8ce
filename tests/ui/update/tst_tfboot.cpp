#include "RecordingPrompt.h"
#include "core/FakeEchoClient.h"
#include "core/StandInTools.h"

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "core/base/FileIo.h"
#include "core/update/HostResolver.h"
#include "core/update/JobFile.h"
#include "core/update/ProgramRunner.h"
#include "ui/app/TFPraxedoreFirmWare.h"
#include "ui/update/TFBoot.h"
#include "ui/widgets/StyledButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

// The update window as the user meets it. Echo requests go to an injected client only.
class TestTFBoot : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void layoutAndTexts();
    void cancelClosesWithCancel();
    void fieldsFollowTheRememberedAddress_data();
    void fieldsFollowTheRememberedAddress();
    void dotMovesToTheNextField();
    void answeringDeviceIsUpdated();
    void failedEchoChangesNothing_data();
    void failedEchoChangesNothing();
    void unwritableJobFileStopsTheUpdate();
    void noSecondUpdateWhileOneRuns();
    void stepFourOpensTheWindowInModeOne_data();
    void stepFourOpensTheWindowInModeOne();
    void statusAndWaitCursorShowWhatRuns();
    void hostNameIsResolvedWhileTheWindowRuns_data();
    void hostNameIsResolvedWhileTheWindowRuns();
    void toolThatDoesNotStartIsReported();
};

namespace {

class RecordingRunner : public ProgramRunner
{
public:
    Outcome Start_Program(const QString &NomeSW, const QString &Parameter, bool tipo) override
    {
        calls.append({NomeSW, Parameter, tipo});
        if (whileRunning)
            whileRunning();
        return Outcome::Ended;
    }
    struct Call
    {
        QString program;
        QString parameter;
        bool hidden;
    };
    QList<Call> calls;
    std::function<void()> whileRunning;
};

// Answers from the event loop, as the system's resolver does, so an answer arrives only if
// the window keeps handling events while it waits.
class LaterResolver : public HostResolver
{
public:
    void lookup(const QString &name, QObject *context, Done done) override
    {
        names.append(name);
        QTimer::singleShot(20, context, [this, done] {
            done(address, address.isEmpty() ? QStringLiteral("no such host") : QString());
        });
    }
    void cancel() override {}

    QString address;
    QStringList names;
};

struct Fixture
{
    QTemporaryDir dir;
    AppState state;
    Catalog catalog;
    FakeClock clock;
    FakeEchoClient echo{clock};
    RecordingPrompt prompt;
    std::unique_ptr<TFBoot> boot;

    Fixture()
    {
        catalog.Load_Default_Texts();
        state.SW_Code = QStringLiteral("PK58104");
        state.Dir_Exe = dir.path();
        state.Dir_Master = joinPath(dir.path(), QStringLiteral("MASTER"));
        state.Dir_Projects = joinPath(dir.path(), QStringLiteral("PROJECTS"));
        state.Dir_Project = joinPath(state.Dir_Projects, QStringLiteral("Line 4"));
        boot = std::make_unique<TFBoot>(state, catalog);
        boot->setEchoClient(&echo);
        boot->setPingTiming(std::ref(clock), [this] { clock.now += PingTest::PauseMs; });
    }

    template <typename T>
    T *child(const QString &name) const
    {
        T *w = boot->findChild<T *>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    QLineEdit *field(int n) const { return child<QLineEdit>(QStringLiteral("E_IP%1").arg(n)); }
    QStringList fields() const { return {field(1)->text(), field(2)->text(), field(3)->text(), field(4)->text()}; }
    void setFields(const QStringList &texts) const
    {
        for (int i = 0; i < 4; ++i)
            field(i + 1)->setText(texts.at(i));
    }
    StyledButton *updateButton() const { return child<StyledButton>(QStringLiteral("Btn_Update")); }
    QComboBox *options() const { return child<QComboBox>(QStringLiteral("CB_Update_Options")); }
    QCheckBox *readBack() const { return child<QCheckBox>(QStringLiteral("CB_Update_Option_Read_Back")); }
    QString jobPath() const { return dir.filePath(QStringLiteral("Lanvesk.xml")); }
    QString installTool() const
    {
        return StandInTools::copy(QStringLiteral("record_run"), dir.path(), QStringLiteral("Lanvesk.exe"));
    }
};

QStringList split(const char *dotted)
{
    return QString::fromLatin1(dotted).split(u'.');
}

} // namespace

void TestTFBoot::layoutAndTexts()
{
    Fixture f;
    f.boot->show();
    QCOMPARE(f.boot->size(), QSize(449, 230));
    const struct
    {
        const char *name;
        int top;
        int height;
    } panels[] = {{"P_Title", 0, 69}, {"P_IP_Address", 69, 49}, {"P_Options", 118, 72}, {"P_Button", 190, 40}};
    for (const auto &p : panels) {
        const QRect r = f.child<QWidget>(QString::fromLatin1(p.name))->geometry();
        QCOMPARE(r, QRect(0, p.top, 449, p.height));
    }
    for (int n = 1; n <= 4; ++n)
        QCOMPARE(f.field(n)->width(), 41);

    QCOMPARE(f.boot->windowTitle(), QStringLiteral("Update Device by Ethernet (UDP)"));
    QCOMPARE(f.child<QLabel>(QStringLiteral("L_SW_Code"))->text(), QStringLiteral("PK58104"));
    QCOMPARE(f.child<QLabel>(QStringLiteral("L_SW_Desc"))->text(),
             QStringLiteral("Update Device Using the Ethernet Port"));
    QCOMPARE(f.child<QLabel>(QStringLiteral("L_IP_Address"))->text(),
             QStringLiteral("Insert the IP Address of Device"));
    QCOMPARE(f.child<QLabel>(QStringLiteral("L_Update_Option"))->text(), QStringLiteral("Select Update Options"));
    QCOMPARE(f.field(1)->toolTip(), QStringLiteral("Insert first byte of IP Address"));
    QCOMPARE(f.field(4)->toolTip(), QStringLiteral("Insert fourth byte of IP Address"));
    QCOMPARE(f.options()->count(), 3);
    QCOMPARE(f.options()->itemText(0), QStringLiteral("Firmware + Configuration"));
    QCOMPARE(f.options()->itemText(1), QStringLiteral("Firmware"));
    QCOMPARE(f.options()->itemText(2), QStringLiteral("Configuration"));
    QCOMPARE(f.options()->toolTip(), QStringLiteral("Select the operation to do in update"));
    QCOMPARE(f.readBack()->text(), QStringLiteral("Read Back"));
    QCOMPARE(f.child<StyledButton>(QStringLiteral("Btn_Cancel"))->text(), QStringLiteral("Cancel"));
    QCOMPARE(f.child<StyledButton>(QStringLiteral("Btn_Cancel"))->toolTip(),
             QStringLiteral("Exit without to do the Update"));
    QCOMPARE(f.updateButton()->text(), QStringLiteral("Execute Update Firmware"));
    QCOMPARE(f.updateButton()->toolTip(), QStringLiteral("Start the update of Device"));

    // Remembered state at start: the default address, the first option, read-back ticked.
    QCOMPARE(f.fields(), split("192.168.2.205"));
    QCOMPARE(f.options()->currentIndex(), 0);
    QVERIFY(f.readBack()->isChecked());
    QCOMPARE(f.boot->focusWidget(), f.field(1));

    // Address panel, options panel, button panel.
    const QList<QWidget *> order{f.field(1),
                                 f.field(2),
                                 f.field(3),
                                 f.field(4),
                                 f.options(),
                                 f.readBack(),
                                 f.child<QWidget>(QStringLiteral("Btn_Cancel")),
                                 f.updateButton()};
    const auto nextTabStop = [](QWidget *w) {
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
        return w;
    };
    for (int i = 1; i < order.size(); ++i)
        QCOMPARE(nextTabStop(order.at(i - 1)), order.at(i));
}

void TestTFBoot::cancelClosesWithCancel()
{
    Fixture f;
    f.boot->open();
    QTest::mouseClick(f.child<StyledButton>(QStringLiteral("Btn_Cancel")), Qt::LeftButton);
    QVERIFY(!f.boot->isVisible());
    QCOMPARE(f.boot->result(), int(PraxDialog::ModalCancel));
}

void TestTFBoot::fieldsFollowTheRememberedAddress_data()
{
    QTest::addColumn<QString>("ipDevice");
    QTest::addColumn<QStringList>("expected");

    const QStringList typed = split("1.2.3.4");
    QTest::newRow("plain") << "192.168.2.205" << split("192.168.2.205");
    QTest::newRow("blanks around parts") << " 10 . 0 . 0 . 1 " << split("10.0.0.1");
    QTest::newRow("three parts") << "10.0.1" << typed;
    QTest::newRow("five parts") << "10.0.0.1.5" << typed;
    QTest::newRow("empty part") << "10..0.1" << typed;
    QTest::newRow("part above 255") << "10.0.0.256" << typed;
    QTest::newRow("non-numeric part") << "10.0.x.1" << typed;
    QTest::newRow("empty") << "" << typed;
}

void TestTFBoot::fieldsFollowTheRememberedAddress()
{
    QFETCH(QString, ipDevice);
    QFETCH(QStringList, expected);
    Fixture f;
    f.state.IP_Device = QString();
    f.boot->show();
    QCOMPARE(f.fields(), QStringList(4, QStringLiteral("0")));
    f.setFields(split("1.2.3.4"));
    f.boot->hide();

    f.state.IP_Device = ipDevice;
    f.boot->show();
    QCOMPARE(f.fields(), expected);
}

void TestTFBoot::dotMovesToTheNextField()
{
    Fixture f;
    f.state.IP_Device = QString();
    f.boot->show();
    QCOMPARE(f.boot->focusWidget(), f.field(1));

    QTest::keyClick(f.field(1), Qt::Key_Period, Qt::NoModifier);
    QCOMPARE(f.field(1)->text(), QStringLiteral("0"));
    QCOMPARE(f.boot->focusWidget(), f.field(2));

    // Anything else is typed as it comes.
    f.field(2)->clear();
    QTest::keyClicks(f.field(2), QStringLiteral("a-1"));
    QCOMPARE(f.field(2)->text(), QStringLiteral("a-1"));

    f.field(4)->setFocus();
    QTest::keyClick(f.field(4), Qt::Key_Period, Qt::NoModifier);
    QCOMPARE(f.field(4)->text(), QStringLiteral("0"));
    QCOMPARE(f.boot->focusWidget(), f.field(4));
}

void TestTFBoot::answeringDeviceIsUpdated()
{
    Fixture f;
    const QString tool = f.installTool();
    QVERIFY(!tool.isEmpty());
    f.state.IP_Device = QStringLiteral("127.0.0.1");
    f.boot->show();
    f.options()->setCurrentIndex(2);
    f.readBack()->setChecked(false);

    QTest::mouseClick(f.updateButton(), Qt::LeftButton);

    QVERIFY2(f.prompt.shown.isEmpty(), qPrintable(f.prompt.lastText()));
    QCOMPARE(f.echo.targets, QStringList(2, QStringLiteral("127.0.0.1")));
    QCOMPARE(f.boot->ping_res, 1);

    // The tool ran without arguments, after its job had been written.
    bool ran = false;
    QCOMPARE(StandInTools::recordedArguments(tool, &ran), QStringList());
    QVERIFY(ran);
    JobFile::Job job;
    job.ipFields = split("127.0.0.1");
    job.option = JobFile::Configuration;
    job.readBack = false;
    job.dirExe = f.state.Dir_Exe;
    job.dirMaster = f.state.Dir_Master;
    job.dirProject = f.state.Dir_Project;
    QByteArray seen;
    QCOMPARE(FileIo::readFile(tool + QStringLiteral(".job.xml"), seen), QString());
    QCOMPARE(seen, JobFile::bytes(job));

    QCOMPARE(f.state.IP_Device, QStringLiteral("127.0.0.1"));
    QCOMPARE(f.state.Update_Option, 2);
    QCOMPARE(f.state.Read_Back, false);
    QVERIFY(f.boot->isVisible());
    QVERIFY(f.updateButton()->isEnabled());
    QVERIFY(!f.boot->updateInProgress());

    // Reopened, the window shows the choices of the last update.
    f.boot->hide();
    f.boot->show();
    QCOMPARE(f.options()->currentIndex(), 2);
    QVERIFY(!f.readBack()->isChecked());
}

void TestTFBoot::failedEchoChangesNothing_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("pingRes");

    QTest::newRow("silent device") << QStringList{QStringLiteral("N")} << int(Prompt::Kind::Warning)
                                   << QStringLiteral("Device Not Found!") << 2;
    QTest::newRow("no status at all") << QStringList{QStringLiteral("F")} << int(Prompt::Kind::Error)
                                      << QStringLiteral("Error!!! Check the Ip Address") << 0;
    QTest::newRow("failure after an answer")
        << QStringList{QStringLiteral("R24"), QStringLiteral("F")} << int(Prompt::Kind::Error)
        << QStringLiteral("Error!!! Check the Ip Address") << 1;
}

void TestTFBoot::failedEchoChangesNothing()
{
    QFETCH(QStringList, script);
    QFETCH(int, kind);
    QFETCH(QString, message);
    QFETCH(int, pingRes);
    Fixture f;
    const QString tool = f.installTool();
    QVERIFY(!tool.isEmpty());
    f.echo.script = script;
    f.boot->show();
    f.setFields(split("127.0.0.1"));
    f.options()->setCurrentIndex(1);
    f.readBack()->setChecked(false);

    QTest::mouseClick(f.updateButton(), Qt::LeftButton);

    QCOMPARE(f.prompt.shown.size(), 1);
    QCOMPARE(int(f.prompt.lastKind()), kind);
    QCOMPARE(f.prompt.lastText(), message);
    QCOMPARE(f.boot->ping_res, pingRes);
    QVERIFY(!QFile::exists(f.jobPath()));
    bool ran = true;
    StandInTools::recordedArguments(tool, &ran);
    QVERIFY(!ran);
    QCOMPARE(f.state.IP_Device, QStringLiteral("192.168.2.205"));
    QCOMPARE(f.state.Update_Option, 0);
    QCOMPARE(f.state.Read_Back, true);
    QVERIFY(f.boot->isVisible());
    QVERIFY(f.updateButton()->isEnabled());
}

void TestTFBoot::unwritableJobFileStopsTheUpdate()
{
    Fixture f;
    const QString tool = f.installTool();
    QVERIFY(!tool.isEmpty());
    // A folder in the job file's place cannot be replaced by a file.
    QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("Lanvesk.xml")));
    f.boot->show();

    QTest::mouseClick(f.updateButton(), Qt::LeftButton);

    QCOMPARE(f.prompt.shown.size(), 1);
    QCOMPARE(f.prompt.lastKind(), Prompt::Kind::Error);
    QVERIFY2(f.prompt.lastText().contains(QStringLiteral("Lanvesk.xml")), qPrintable(f.prompt.lastText()));
    bool ran = true;
    StandInTools::recordedArguments(tool, &ran);
    QVERIFY(!ran);
}

void TestTFBoot::noSecondUpdateWhileOneRuns()
{
    Fixture f;
    RecordingRunner runner;
    f.boot->setProgramRunner(&runner);
    f.boot->show();
    StyledButton *cancel = f.child<StyledButton>(QStringLiteral("Btn_Cancel"));

    // During the echo test events are handled: the user clicks again and tries to close.
    QList<bool> enabledDuringTest;
    f.echo.onEcho = [&] {
        enabledDuringTest << f.updateButton()->isEnabled() << cancel->isEnabled() << f.field(1)->isEnabled();
        QTest::mouseClick(f.updateButton(), Qt::LeftButton);
        f.boot->Btn_UpdateClick();
        f.boot->reject();
    };
    // While the tool runs, clicks wait in the queue.
    runner.whileRunning = [&] {
        QTimer::singleShot(0, f.updateButton(), [&] { f.boot->Btn_UpdateClick(); });
        QCoreApplication::postEvent(f.updateButton(),
                                    new QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5),
                                                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(f.updateButton(),
                                    new QMouseEvent(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5),
                                                    Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
        f.boot->Btn_UpdateClick();
    };

    QTest::mouseClick(f.updateButton(), Qt::LeftButton);
    QCoreApplication::processEvents();

    QCOMPARE(f.echo.targets.size(), 2);
    QVERIFY(!enabledDuringTest.contains(true));
    QCOMPARE(runner.calls.size(), 1);
    QCOMPARE(runner.calls.first().program, joinPath(f.state.Dir_Exe, QStringLiteral("Lanvesk.exe")));
    QCOMPARE(runner.calls.first().parameter, QString());
    QCOMPARE(runner.calls.first().hidden, false);
    QVERIFY(f.boot->isVisible());
    QVERIFY(f.updateButton()->isEnabled());
    QVERIFY(f.prompt.shown.isEmpty());
}

void TestTFBoot::stepFourOpensTheWindowInModeOne_data()
{
    QTest::addColumn<QByteArray>("parGen"); // empty: no ParGen.xml
    QTest::addColumn<bool>("opens");

    // The image build reads the first seven elements strictly, so they come first.
    const QByteArray settings = "<Boud0>8</Boud0><Boud1>8</Boud1><Type>0</Type><Positive>0</Positive>"
                                "<Baud_Dip_C0>0</Baud_Dip_C0><Baud_Dip_C1>0</Baud_Dip_C1><TypeC1>0</TypeC1>";
    QTest::newRow("no ParGen.xml") << QByteArray() << true;
    QTest::newRow("device type 1") << "<ParGen>" + settings + "<Device_Type>1</Device_Type></ParGen>" << true;
    QTest::newRow("device type 0") << "<ParGen>" + settings + "<Device_Type>0</Device_Type></ParGen>" << false;
}

void TestTFBoot::stepFourOpensTheWindowInModeOne()
{
    QFETCH(QByteArray, parGen);
    QFETCH(bool, opens);
    QTemporaryDir dir;
    RecordingPrompt prompt;
    AppState state;
    Catalog catalog;
    TFPraxedoreFirmWare window(state, catalog, dir.path());
    auto *boot = new TFBoot(state, catalog, &window);
    TFPraxedoreFirmWare::Windows windows;
    windows.boot = boot;
    window.setWindows(windows);
    state.Name_Project = QStringLiteral("Line 4");
    state.Dir_Project = joinPath(state.Dir_Projects, state.Name_Project);
    QVERIFY(QDir().mkpath(joinPath(state.Dir_Project, QStringLiteral("bin"))));
    Set_Files(state);
    if (!parGen.isEmpty())
        QCOMPARE(FileIo::saveFile(state.File_ParGen, parGen), QString());
    window.show();

    int modeSeen = -1;
    bool shownModal = false;
    QTimer::singleShot(0, boot, [&] {
        modeSeen = boot->Form_Type;
        shownModal = boot->isVisible() && boot->isModal();
        boot->reject();
    });
    QTest::mouseClick(window.findChild<StyledButton *>(QStringLiteral("Btn_CreateBin")), Qt::LeftButton);
    QCoreApplication::processEvents();

    QVERIFY2(prompt.shown.isEmpty(), qPrintable(prompt.lastText()));
    QCOMPARE(shownModal, opens);
    QCOMPARE(modeSeen, opens ? 1 : 0);
    QVERIFY(!boot->isVisible());
}

void TestTFBoot::statusAndWaitCursorShowWhatRuns()
{
    Fixture f;
    RecordingRunner runner;
    f.boot->setProgramRunner(&runner);
    f.state.IP_Device = QStringLiteral("127.0.0.1");
    f.boot->show();
    auto *status = f.child<QLabel>(QStringLiteral("L_Status"));
    const auto waiting = [] {
        return QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    };
    QStringList seen;
    QList<bool> waitCursor;
    f.echo.onEcho = [&] {
        seen << status->text();
        waitCursor << waiting();
    };
    runner.whileRunning = [&] {
        seen << status->text();
        waitCursor << waiting();
    };

    QTest::mouseClick(f.updateButton(), Qt::LeftButton);

    QCOMPARE(seen,
             (QStringList{QStringLiteral("Testing the device..."), QStringLiteral("Testing the device..."),
                          QStringLiteral("Waiting for the update tool...")}));
    QCOMPARE(waitCursor, (QList<bool>{true, true, true}));
    QCOMPARE(status->text(), QStringLiteral("The update tool has ended."));
    QVERIFY(!QApplication::overrideCursor());

    // A failed test leaves no status behind, and the box comes after the wait cursor is gone.
    f.echo.script = {QStringLiteral("N")};
    f.echo.targets.clear();
    QList<bool> cursorAtBox;
    f.prompt.onShow = [&] { cursorAtBox << waiting(); };
    QTest::mouseClick(f.updateButton(), Qt::LeftButton);
    QCOMPARE(f.prompt.lastText(), QStringLiteral("Device Not Found!"));
    QCOMPARE(cursorAtBox, QList<bool>{false});
    QCOMPARE(status->text(), QString());
}

void TestTFBoot::hostNameIsResolvedWhileTheWindowRuns_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("address"); // what the resolver answers
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("echoedTo"); // empty: no echo request
    QTest::addColumn<QString>("message");

    QTest::newRow("name") << QStringLiteral("device.lab.example.test") << QStringLiteral("127.0.0.1") << true
                          << QStringLiteral("127.0.0.1") << QString();
    QTest::newRow("name that does not resolve") << QStringLiteral("nowhere.lab.example.test") << QString() << true
                                                << QString() << QStringLiteral("Error!!! Check the Ip Address");
    QTest::newRow("numeric address") << QStringLiteral("127.0.0.1") << QString() << false << QStringLiteral("127.0.0.1")
                                     << QString();
    QTest::newRow("mistyped address") << QStringLiteral("127.0.0.300") << QString() << false
                                      << QStringLiteral("127.0.0.300")
                                      << QStringLiteral("Error!!! Check the Ip Address");
}

void TestTFBoot::hostNameIsResolvedWhileTheWindowRuns()
{
    QFETCH(QString, typed);
    QFETCH(QString, address);
    QFETCH(bool, asked);
    QFETCH(QString, echoedTo);
    QFETCH(QString, message);
    Fixture f;
    RecordingRunner runner;
    f.boot->setProgramRunner(&runner);
    LaterResolver resolver;
    resolver.address = address;
    f.boot->setHostResolver(&resolver);
    if (typed.endsWith(QStringLiteral(".300")))
        f.echo.script = {QStringLiteral("F")};
    f.boot->show();
    // The fields take a name of four labels, one label each, as they take an address.
    f.setFields(typed.split(u'.'));

    QTest::mouseClick(f.updateButton(), Qt::LeftButton);

    QCOMPARE(resolver.names, asked ? QStringList{typed} : QStringList());
    QCOMPARE(f.echo.targets.value(0), echoedTo);
    QCOMPARE(f.prompt.shown.isEmpty() ? QString() : f.prompt.lastText(), message);
    QCOMPARE(runner.calls.size(), message.isEmpty() ? 1 : 0);
}

void TestTFBoot::toolThatDoesNotStartIsReported()
{
    Fixture f;
    f.state.IP_Device = QStringLiteral("127.0.0.1");
    f.boot->show();

    QTest::mouseClick(f.updateButton(), Qt::LeftButton);

    QCOMPARE(f.prompt.shown.size(), 1);
    QCOMPARE(f.prompt.lastKind(), Prompt::Kind::Error);
    QCOMPARE(f.prompt.lastText(),
             QStringLiteral("The update tool was not found: ")
                 + QDir::toNativeSeparators(joinPath(f.state.Dir_Exe, QStringLiteral("Lanvesk.exe"))));
    QCOMPARE(f.child<QLabel>(QStringLiteral("L_Status"))->text(), QString());
}

QTEST_MAIN(TestTFBoot)
#include "tst_tfboot.moc"
