#include "ModalAnswer.h"
#include "RecordingPrompt.h"

#include "core/app/AppState.h"
#include "core/app/SettingsFile.h"
#include "core/base/Catalog.h"
#include "core/i18n/Language.h"
#include "ui/app/TFAbout.h"
#include "ui/app/TFPraxedoreFirmWare.h"
#include "ui/config/TFParGen2.h"
#include "ui/config/TFSetCobIDAccess.h"
#include "ui/i18n/TFSoftOptions.h"
#include "ui/image/TFModifyFileSx.h"
#include "ui/projects/TFNew_Project.h"
#include "ui/projects/TFOpenConf.h"
#include "ui/update/TFBoot.h"
#include "ui/widgets/Links.h"
#include "ui/widgets/StyledButton.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <stdexcept>

namespace {

// An executable folder with optional projects and settings, and the main window started
// in it with every other window, as the program entry builds them.
struct Program
{
    QTemporaryDir exeDir;
    AppState state;
    Catalog catalog;
    RecordingPrompt prompt;
    std::unique_ptr<TFPraxedoreFirmWare> window;
    QList<QUrl> opened;

    Program(const QStringList &projects = {}, const QByteArray &settings = {})
    {
        for (const QString &p : projects)
            QDir(exeDir.path()).mkpath(QStringLiteral("PROJECTS/") + p);
        if (!settings.isEmpty()) {
            QFile f(settingsPath());
            if (f.open(QIODevice::WriteOnly))
                f.write(settings);
        }
        Links::setOpener([this](const QUrl &url) { opened.append(url); });
        window = std::make_unique<TFPraxedoreFirmWare>(state, catalog, exeDir.path());
        TFPraxedoreFirmWare::Windows w;
        w.newProject = new TFNew_Project(state, catalog, window.get());
        w.openConf = new TFOpenConf(state, catalog, window.get());
        w.about = new TFAbout(state, catalog, window.get());
        w.softOptions = new TFSoftOptions(state, catalog, window.get());
        w.setCobIDAccess = new TFSetCobIDAccess(state, catalog, window.get());
        w.boot = new TFBoot(state, catalog, window.get());
        w.parGen2 = new TFParGen2(state, catalog, window.get());
        w.modifyFileSx = new TFModifyFileSx(state, catalog, window.get());
        window->setWindows(w);
        window->show();
    }
    ~Program()
    {
        window.reset();
        Links::setOpener({});
    }

    QString settingsPath() const { return QDir(exeDir.path()).filePath(QStringLiteral("Praxedo.xml")); }
    QByteArray settingsBytes() const
    {
        QFile f(settingsPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    template <typename T = QWidget>
    T *find(const QString &name) const
    {
        T *w = window->findChild<T *>(name);
        if (!w)
            qWarning("no control %s", qPrintable(name));
        return w;
    }
    void click(const QString &button) { QTest::mouseClick(find<StyledButton>(button), Qt::LeftButton); }
    QString line1() const { return find<QLabel>(QStringLiteral("L_Name_Conf"))->text(); }
    QString line2() const { return find<QLabel>(QStringLiteral("L_Name_Conf_L2"))->text(); }
};

QByteArray settingsWith(const QString &project, bool internet, bool update)
{
    AppState s;
    s.Name_Project = project;
    s.Enable_Internet = internet;
    s.Enable_Update = update;
    return SettingsFile::bytes(s);
}

constexpr QLatin1String Opened("Opened Configuration of the Converter : ");
constexpr QLatin1String NoneOpened("None Configuration Opened ");
constexpr QLatin1String UseStep1("Use Step1 to open or create new configuration");
constexpr QLatin1String NotValid("Error! Project not Valid");

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void controlsAsDesigned_data();
    void controlsAsDesigned();
    void stepsTwoToFourNeedAProject_data();
    void stepsTwoToFourNeedAProject();
    void stepsTwoAndThreeOpenTheirWindowsWithAProject_data();
    void stepsTwoAndThreeOpenTheirWindowsWithAProject();
    void newConfigurationBecomesTheActiveOne();
    void longProjectNameStaysInsideItsFrame();
    void openConfigurationShowsTheChosenOne();
    void openWithEmptyListLeavesNoProjectOpen();
    void cancelledNewOrOpenChangesNothing_data();
    void cancelledNewOrOpenChangesNothing();
    void optionsConfirmedSaveAndApplyTheTimerRule_data();
    void optionsConfirmedSaveAndApplyTheTimerRule();
    void optionsCancelledWriteNothing();
    void timerAtStartFollowsBothOptions_data();
    void timerAtStartFollowsBothOptions();
    void versionCheckRunsAfterAMinuteThenEveryTwoHours();
    void failedVersionCheckIsReportedAndRescheduled();
    void closingWritesTheSettings_data();
    void closingWritesTheSettings();
    void languageChangeUpdatesCaptionsAtOnce();
    void informationShowsAboutWithTheCurrentLanguageVersion();
    void vendorLinkOpensTheHomePage();
};

void TestMainWindow::controlsAsDesigned_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("geometry"); // width/height 0: sized to its text
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hint");

    const auto row = [](const char *name, QRect r, const QString &text = QString(), const QString &hint = QString()) {
        QTest::newRow(name) << QString::fromLatin1(name) << r << text << hint;
    };
    row("L_SW_Code", {16, 8, 0, 0}, QStringLiteral("PK58104"));
    row("L_SW_Desc", {16, 42, 0, 0}, QStringLiteral("Repeater - Extender Bus Line - With Filter Data Configurable"));
    row("LL_Update", {208, 19, 294, 17});
    row("Btn_Info", {516, 8, 50, 50}, QString(), QStringLiteral("Information"));
    row("Btn_Opz", {574, 8, 50, 50}, QString(), QStringLiteral("Options"));
    row("Btn_Close", {632, 8, 50, 50}, QString(), QStringLiteral("Close Configurator"));
    row("L_Begin", {16, 84, 0, 0}, QStringLiteral("Begin"));
    row("Shape2", {80, 70, 348, 36});
    row("L_Name_Conf", {87, 75, 0, 0}, NoneOpened);
    row("L_Name_Conf_L2", {87, 88, 0, 0}, UseStep1);
    row("L_Step_1", {16, 128, 0, 0}, QStringLiteral("Step 1"));
    row("Btn_New", {80, 112, 170, 36}, QStringLiteral("New Configuration"),
        QStringLiteral("Create a new configuration for the device"));
    row("Btn_Open", {258, 112, 170, 36}, QStringLiteral("Open Configuration"),
        QStringLiteral("Open an exists configuration"));
    row("L_Step_2", {16, 172, 0, 0}, QStringLiteral("Step 2"));
    row("Btn_Prm_Gen", {80, 156, 170, 36}, QStringLiteral("Set Communication"),
        QStringLiteral("Set the main parameters of Protocols"));
    row("L_Step_3", {16, 216, 0, 0}, QStringLiteral("Step 3"));
    row("Btn_SetCobIDAccess", {80, 200, 170, 36}, QStringLiteral("Set CobID Access"),
        QStringLiteral("Set the Filter for the CAN ports"));
    row("L_Step_4", {16, 260, 0, 0}, QStringLiteral("Step 4"));
    row("Btn_CreateBin", {80, 244, 170, 36}, QStringLiteral("Update Device"),
        QStringLiteral("Update the actual Firmware and/or Configuration by Ethernet"));
    row("L_Velmor", {565, 260, 0, 0}, Product::vendorHost());
    row("Shape1", {10, 295, 674, 1});
}

void TestMainWindow::controlsAsDesigned()
{
    QFETCH(QString, control);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(QString, hint);
    Program p;
    QCOMPARE(p.window->size(), QSize(694, 396));
    QCOMPARE(p.window->minimumSize(), p.window->maximumSize());
    QCOMPARE(p.window->windowTitle(),
             QStringLiteral(
                 "Velmornet - Configurator PK58104 - Repeater - Extender Bus Line - With Filter Data Configurable"));

    QWidget *w = p.find(control);
    QVERIFY(w);
    if (control == QLatin1String("L_Velmor") && w->x() != geometry.x()) {
        // A vendor host too long for the window is moved left to stay whole.
        QVERIFY(w->geometry().right() < p.window->width());
    } else {
        QCOMPARE(w->pos(), geometry.topLeft());
    }
    if (geometry.width() > 0)
        QCOMPARE(w->size(), geometry.size());
    else
        QVERIFY(w->geometry().right() < p.window->width());
    if (!text.isEmpty() || w->property("text").isValid())
        QCOMPARE(w->property("text").toString(), text);
    QCOMPARE(w->toolTip(), hint);
    QCOMPARE(w->isVisibleTo(p.window.get()), control != QLatin1String("LL_Update"));
}

void TestMainWindow::stepsTwoToFourNeedAProject_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("Set Communication") << QStringLiteral("Btn_Prm_Gen");
    QTest::newRow("Set CobID Access") << QStringLiteral("Btn_SetCobIDAccess");
    QTest::newRow("Update Device") << QStringLiteral("Btn_CreateBin");
}

void TestMainWindow::stepsTwoToFourNeedAProject()
{
    QFETCH(QString, button);
    // A remembered project whose folder is gone leaves no project open.
    Program p({}, settingsWith(QStringLiteral("Gone"), false, false));
    ModalAnswer watch(2);

    p.click(button);

    QCOMPARE(p.prompt.shown.size(), 1);
    QCOMPARE(p.prompt.lastKind(), Prompt::Kind::Error);
    QCOMPARE(p.prompt.lastText(), NotValid);
    QVERIFY(watch.seen.isEmpty());
    QVERIFY(!QFileInfo::exists(QDir(p.exeDir.path()).filePath(QStringLiteral("PROJECTS/Gone"))));
}

void TestMainWindow::stepsTwoAndThreeOpenTheirWindowsWithAProject_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("window");
    QTest::newRow("Set Communication") << QStringLiteral("Btn_Prm_Gen") << QStringLiteral("TFParGen2");
    QTest::newRow("Set CobID Access") << QStringLiteral("Btn_SetCobIDAccess") << QStringLiteral("TFSetCobIDAccess");
}

void TestMainWindow::stepsTwoAndThreeOpenTheirWindowsWithAProject()
{
    QFETCH(QString, button);
    QFETCH(QString, window);
    Program p({QStringLiteral("Plant")}, settingsWith(QStringLiteral("Plant"), false, false));
    ModalAnswer answer(2);

    p.click(button);

    QCOMPARE(answer.seen, QStringList{window});
    QVERIFY(p.prompt.shown.isEmpty());
}

void TestMainWindow::longProjectNameStaysInsideItsFrame()
{
    const QString name = QStringLiteral("Line ") + QString(90, u'x') + QStringLiteral(" end");
    Program p({name}, settingsWith(name, false, false));
    auto *line = p.window->findChild<QLabel *>(QStringLiteral("L_Name_Conf_L2"));
    QVERIFY(line->geometry().right() < 428); // the frame Shape2 spans 80 to 428
    QVERIFY(line->text().startsWith(QStringLiteral("Line ")));
    QVERIFY(line->text().endsWith(QStringLiteral(" end")));
    QCOMPARE(line->toolTip(), name);
}

void TestMainWindow::newConfigurationBecomesTheActiveOne()
{
    Program p({QStringLiteral("Plant")}, settingsWith(QStringLiteral("Plant"), false, false));
    QCOMPARE(p.line2(), QStringLiteral("Plant"));
    ModalAnswer answer(2, [](QDialog *d) {
        auto *field = d->findChild<QLineEdit *>(QStringLiteral("E_New_Proj"));
        if (!field)
            return; // a later step's window: just closed
        QTest::keyClicks(field, QStringLiteral("Line 1"));
        QTest::mouseClick(d->findChild<StyledButton *>(QStringLiteral("Btn_OK")), Qt::LeftButton);
    });

    p.click(QStringLiteral("Btn_New"));

    QCOMPARE(answer.seen, QStringList{QStringLiteral("TFNew_Project")});
    QCOMPARE(p.line1(), Opened);
    QCOMPARE(p.line2(), QStringLiteral("Line 1"));
    QVERIFY(QFileInfo(QDir(p.exeDir.path()).filePath(QStringLiteral("PROJECTS/Line 1/bin"))).isDir());
    // Steps 2 to 4 work at once with the new project.
    p.click(QStringLiteral("Btn_Prm_Gen"));
    QCOMPARE(answer.seen.last(), QStringLiteral("TFParGen2"));
    QVERIFY(p.prompt.shown.isEmpty());
    // Creating does not write the settings; closing does, with the new name.
    QVERIFY(!QFileInfo::exists(p.settingsPath()) || !p.settingsBytes().contains("Line 1"));
    QVERIFY(p.window->close());
    QVERIFY(p.settingsBytes().contains("<projectname>Line 1</projectname>"));
}

void TestMainWindow::openConfigurationShowsTheChosenOne()
{
    Program p({QStringLiteral("Alpha"), QStringLiteral("Beta")});
    QCOMPARE(p.line1(), NoneOpened);
    ModalAnswer answer(2, [](QDialog *d) {
        auto *list = d->findChild<QListWidget *>(QStringLiteral("ListBox1"));
        QListWidgetItem *beta = list->findItems(QStringLiteral("Beta"), Qt::MatchExactly).value(0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(beta).center());
        QTest::mouseClick(d->findChild<StyledButton *>(QStringLiteral("Btn_OK")), Qt::LeftButton);
    });

    p.click(QStringLiteral("Btn_Open"));

    QCOMPARE(answer.seen, QStringList{QStringLiteral("TFOpenConf")});
    QCOMPARE(p.line1(), Opened);
    QCOMPARE(p.line2(), QStringLiteral("Beta"));
    const QString dir = QDir::toNativeSeparators(QDir(p.exeDir.path()).filePath(QStringLiteral("PROJECTS/Beta")));
    QCOMPARE(p.state.Name_Project, QStringLiteral("Beta"));
    QCOMPARE(QDir::cleanPath(p.state.Dir_Project), QDir::cleanPath(dir));
    QCOMPARE(QDir::cleanPath(p.state.File_ParGen), QDir::cleanPath(dir + QStringLiteral("/ParGen.xml")));
    QCOMPARE(QDir::cleanPath(p.state.File_CobID), QDir::cleanPath(dir + QStringLiteral("/CanCanCobID.xml")));
}

void TestMainWindow::openWithEmptyListLeavesNoProjectOpen()
{
    Program p;
    ModalAnswer answer(2, [](QDialog *d) {
        QTest::mouseClick(d->findChild<StyledButton *>(QStringLiteral("Btn_OK")), Qt::LeftButton);
    });

    p.click(QStringLiteral("Btn_Open"));

    QCOMPARE(answer.seen, QStringList{QStringLiteral("TFOpenConf")});
    QCOMPARE(p.line1(), NoneOpened);
    QCOMPARE(p.line2(), UseStep1);
    QVERIFY(p.state.Dir_Project.isEmpty());
    p.click(QStringLiteral("Btn_Prm_Gen"));
    QCOMPARE(p.prompt.lastText(), NotValid);
    QCOMPARE(answer.seen.size(), 1);
}

void TestMainWindow::cancelledNewOrOpenChangesNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("New") << QStringLiteral("Btn_New");
    QTest::newRow("Open") << QStringLiteral("Btn_Open");
}

void TestMainWindow::cancelledNewOrOpenChangesNothing()
{
    QFETCH(QString, button);
    Program p({QStringLiteral("Alpha"), QStringLiteral("Plant")}, settingsWith(QStringLiteral("Plant"), false, false));
    ModalAnswer answer(2, [](QDialog *d) {
        if (auto *field = d->findChild<QLineEdit *>(QStringLiteral("E_New_Proj")))
            QTest::keyClicks(field, QStringLiteral("Never"));
        if (auto *list = d->findChild<QListWidget *>(QStringLiteral("ListBox1")))
            list->setCurrentRow(list->count() - 1 - list->currentRow());
        QTest::mouseClick(d->findChild<StyledButton *>(QStringLiteral("Btn_Cancel")), Qt::LeftButton);
    });

    p.click(button);

    QCOMPARE(answer.seen.size(), 1);
    QCOMPARE(p.line1(), Opened);
    QCOMPARE(p.line2(), QStringLiteral("Plant"));
    QCOMPARE(p.state.Name_Project, QStringLiteral("Plant"));
    QVERIFY(p.state.Dir_Project.endsWith(QStringLiteral("Plant")));
    QVERIFY(!QFileInfo::exists(QDir(p.exeDir.path()).filePath(QStringLiteral("PROJECTS/Never"))));
}

void TestMainWindow::optionsConfirmedSaveAndApplyTheTimerRule_data()
{
    QTest::addColumn<bool>("internet");
    QTest::addColumn<bool>("update");
    QTest::newRow("both on") << true << true;
    QTest::newRow("internet only") << true << false;
    QTest::newRow("update only") << false << true;
    QTest::newRow("both off") << false << false;
}

void TestMainWindow::optionsConfirmedSaveAndApplyTheTimerRule()
{
    QFETCH(bool, internet);
    QFETCH(bool, update);
    // Start with the opposite timer state, so the rule visibly acts.
    const bool on = internet && update;
    Program p({}, settingsWith(QString(), !on, !on));
    QCOMPARE(p.window->updateTimer()->isActive(), !on);
    QFile::remove(p.settingsPath());
    ModalAnswer answer(1, [&](QDialog *) {
        p.state.Enable_Internet = internet;
        p.state.Enable_Update = update;
    });

    p.click(QStringLiteral("Btn_Opz"));

    QCOMPARE(answer.seen, QStringList{QStringLiteral("TFSoftOptions")});
    QCOMPARE(p.window->updateTimer()->isActive(), on);
    const QByteArray saved = p.settingsBytes();
    QVERIFY(saved.contains(QByteArray("<enable_internet>") + (internet ? "1" : "0")));
    QVERIFY(saved.contains(QByteArray("<enable_update>") + (update ? "1" : "0")));
}

void TestMainWindow::optionsCancelledWriteNothing()
{
    Program p;
    ModalAnswer answer(2, [&](QDialog *) {
        p.state.Enable_Internet = true;
        p.state.Enable_Update = true;
    });

    p.click(QStringLiteral("Btn_Opz"));

    QCOMPARE(answer.seen, QStringList{QStringLiteral("TFSoftOptions")});
    QVERIFY(!QFileInfo::exists(p.settingsPath()));
    QVERIFY(!p.window->updateTimer()->isActive());
}

void TestMainWindow::timerAtStartFollowsBothOptions_data()
{
    QTest::addColumn<QByteArray>("flags");
    QTest::addColumn<bool>("active");
    QTest::newRow("both 1") << QByteArray("<enable_internet>1</enable_internet><enable_update>1</enable_update>")
                            << true;
    QTest::newRow("update 0") << QByteArray("<enable_internet>1</enable_internet><enable_update>0</enable_update>")
                              << false;
    QTest::newRow("update missing") << QByteArray("<enable_internet>1</enable_internet>") << false;
    QTest::newRow("true is not 1") << QByteArray(
        "<enable_internet>true</enable_internet><enable_update>1</enable_update>")
                                   << false;
}

void TestMainWindow::timerAtStartFollowsBothOptions()
{
    QFETCH(QByteArray, flags);
    QFETCH(bool, active);
    Program p({}, "<Conf_Settings><lastinternet>" + flags + "</lastinternet></Conf_Settings>");
    QCOMPARE(p.window->updateTimer()->isActive(), active);
    QCOMPARE(p.window->updateTimer()->interval(), 60000);
}

void TestMainWindow::versionCheckRunsAfterAMinuteThenEveryTwoHours()
{
    Program p({}, settingsWith(QString(), true, true));
    QTimer *timer = p.window->updateTimer();
    auto *link = p.find<QLabel>(QStringLiteral("LL_Update"));
    QCOMPARE(timer->interval(), 60000);
    QVERIFY(timer->isActive());
    QVERIFY(!link->isVisible());

    bool newer = true;
    int checks = 0;
    bool timerOffDuringCheck = false;
    p.window->setVersionCheck([&] {
        ++checks;
        timerOffDuringCheck = !timer->isActive();
        return newer;
    });

    p.window->Timer_UpdateTimer();
    QCOMPARE(checks, 1);
    QVERIFY(timerOffDuringCheck);
    QVERIFY(link->isVisible());
    QVERIFY(link->text().contains(QStringLiteral("New Version Available. Click Here for more Details")));
    QVERIFY(link->text().contains(QStringLiteral("/Home/download/download.asp#DV58104")));
    QCOMPARE(timer->interval(), 7200000);
    QVERIFY(timer->isActive());

    // The link opens the download page.
    const QString href = link->text().section(QLatin1Char('"'), 1, 1);
    Q_EMIT link->linkActivated(href);
    QCOMPARE(p.opened,
             QList<QUrl>{
                 QUrl(QStringLiteral("http://%1/Home/download/download.asp#DV58104").arg(Product::vendorHost()))});

    newer = false;
    p.window->Timer_UpdateTimer();
    QVERIFY(!link->isVisible());
    QCOMPARE(timer->interval(), 7200000);

    // Off and on again in the options: the next check is two hours away, not one minute.
    for (bool enable : {false, true}) {
        ModalAnswer answer(1, [&](QDialog *) {
            p.state.Enable_Internet = enable;
            p.state.Enable_Update = enable;
        });
        p.click(QStringLiteral("Btn_Opz"));
        QCOMPARE(timer->isActive(), enable);
    }
    QCOMPARE(timer->interval(), 7200000);
}

void TestMainWindow::failedVersionCheckIsReportedAndRescheduled()
{
    Program p({}, settingsWith(QString(), true, true));
    p.window->setVersionCheck([]() -> bool { throw std::runtime_error("version query failed"); });

    p.window->Timer_UpdateTimer();

    QCOMPARE(p.prompt.shown.size(), 1);
    QCOMPARE(p.prompt.lastKind(), Prompt::Kind::Error);
    QCOMPARE(p.prompt.lastText(), QStringLiteral("version query failed"));
    QVERIFY(!p.find(QStringLiteral("LL_Update"))->isVisible());
    QVERIFY(p.window->updateTimer()->isActive());
    QCOMPARE(p.window->updateTimer()->interval(), 7200000);
}

void TestMainWindow::closingWritesTheSettings_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("close box") << true;
    QTest::newRow("Close button") << false;
}

void TestMainWindow::closingWritesTheSettings()
{
    QFETCH(bool, closeBox);
    Program p({QStringLiteral("Plant")}, settingsWith(QStringLiteral("Plant"), false, false));
    QFile::remove(p.settingsPath());
    p.state.IP_Device = QStringLiteral("10.0.0.7");

    if (closeBox)
        QVERIFY(p.window->close());
    else
        p.click(QStringLiteral("Btn_Close"));

    QVERIFY(!p.window->isVisible());
    const QByteArray saved = p.settingsBytes();
    QVERIFY(saved.contains("<projectname>Plant</projectname>"));
    QVERIFY(saved.contains("<ipaddress>10.0.0.7</ipaddress>"));
    QVERIFY(p.prompt.shown.isEmpty());
}

void TestMainWindow::languageChangeUpdatesCaptionsAtOnce()
{
    Program p({QStringLiteral("Plant")}, settingsWith(QStringLiteral("Plant"), false, false));
    QFile lng(QDir(p.exeDir.path()).filePath(QStringLiteral("LANGUAGE/Italiano.lng")));
    QVERIFY(lng.open(QIODevice::WriteOnly));
    lng.write("//VERSION 4.2\r\n"
              "STR 0 = Inizio\r\nSTR 1 = Passo 1\r\nSTR 11 = Configurazione aperta : \r\n"
              "STR 12 = Informazioni\r\nSTR 15 = Nuova Configurazione\r\nSTR 31 = Aggiorna il dispositivo\r\n"
              "STR 100 = Crea Configurazione\r\nSTR 204 = Annulla\r\n");
    lng.close();

    // What the options window does after the user picked another language.
    p.state.Language_Sel = QStringLiteral("Italiano");
    Language::Load_Language(p.catalog, p.state);
    p.window->Change_Language();

    QCOMPARE(p.find(QStringLiteral("L_Begin"))->property("text").toString(), QStringLiteral("Inizio"));
    QCOMPARE(p.find(QStringLiteral("L_Step_1"))->property("text").toString(), QStringLiteral("Passo 1"));
    QCOMPARE(p.find<StyledButton>(QStringLiteral("Btn_New"))->text(), QStringLiteral("Nuova Configurazione"));
    QCOMPARE(p.find(QStringLiteral("Btn_Info"))->toolTip(), QStringLiteral("Informazioni"));
    QCOMPARE(p.find(QStringLiteral("Btn_CreateBin"))->toolTip(), QStringLiteral("Aggiorna il dispositivo"));
    QCOMPARE(p.window->windows().newProject->windowTitle(), QStringLiteral("Crea Configurazione"));
    QCOMPARE(p.window->windows().openConf->findChild<StyledButton *>(QStringLiteral("Btn_Cancel"))->text(),
             QStringLiteral("Annulla"));
    // The active-configuration lines keep their language until the next open or create.
    QCOMPARE(p.line1(), Opened);
    QCOMPARE(p.line2(), QStringLiteral("Plant"));

    ModalAnswer answer(2, [](QDialog *d) {
        QTest::mouseClick(d->findChild<StyledButton *>(QStringLiteral("Btn_OK")), Qt::LeftButton);
    });
    p.click(QStringLiteral("Btn_Open"));
    QCOMPARE(p.line1(), QStringLiteral("Configurazione aperta :"));
}

void TestMainWindow::informationShowsAboutWithTheCurrentLanguageVersion()
{
    Program p;
    QString shown;
    ModalAnswer answer(2, [&](QDialog *d) { shown = d->findChild<QLabel *>(QStringLiteral("Label7"))->text(); });

    p.click(QStringLiteral("Btn_Info"));
    QCOMPARE(answer.seen, QStringList{QStringLiteral("TFAbout")});
    QCOMPARE(shown, QStringLiteral("NO VER."));

    p.state.Language_Ver = QStringLiteral("7.1");
    p.click(QStringLiteral("Btn_Info"));
    QCOMPARE(shown, QStringLiteral("7.1"));
    QVERIFY(p.prompt.shown.isEmpty());
}

void TestMainWindow::vendorLinkOpensTheHomePage()
{
    Program p;
    auto *label = p.find<QLabel>(QStringLiteral("L_Velmor"));
    QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);

    QTest::mouseClick(label, Qt::RightButton);
    QVERIFY(p.opened.isEmpty());
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(p.opened,
             QList<QUrl>{QUrl(QStringLiteral("http://%1/HOME/default.asp?frompg=PK58104").arg(Product::vendorHost()))});
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
