#include "RecordingPrompt.h"

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "ui/app/Configurator.h"
#include "ui/app/TFPraxedoreFirmWare.h"
#include "ui/projects/TFNew_Project.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

// The configurator's start and close as a user meets them: a damaged or unwritable
// settings file never stops the program.
class TestStartup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void brokenSettingsStartWithDefaultsAndAreRewritten();
    void unwritableSettingsAreReportedAndTheWindowStillCloses();
    void otherWindowsFollowTheMainWindowInTheChosenLanguage();
};

void TestStartup::brokenSettingsStartWithDefaultsAndAreRewritten()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Praxedo.xml"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<Conf_Settings><lastproj>");
    }
    RecordingPrompt prompt;
    AppState state;
    Catalog catalog;
    TFPraxedoreFirmWare window(state, catalog, dir.path());
    window.show();
    QCOMPARE(state.IP_Device, QStringLiteral("192.168.2.205"));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("L_Name_Conf"))->text(),
             QStringLiteral("None Configuration Opened "));
    QVERIFY(window.close());
    QVERIFY(prompt.shown.isEmpty());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().startsWith("<Conf_Settings><lastproj><projectname>"));
}

void TestStartup::unwritableSettingsAreReportedAndTheWindowStillCloses()
{
    QTemporaryDir dir;
    // A folder in the settings file's place cannot be replaced by a file.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Praxedo.xml")));
    RecordingPrompt prompt;
    AppState state;
    Catalog catalog;
    TFPraxedoreFirmWare window(state, catalog, dir.path());
    window.show();
    QVERIFY(window.close());
    QVERIFY(!window.isVisible());
    QCOMPARE(prompt.shown.size(), 1);
    QCOMPARE(prompt.shown.first().kind, Prompt::Kind::Error);
    QVERIFY(prompt.shown.first().text.contains(QStringLiteral("Praxedo.xml")));
}

// The other windows are made after the main window's first paint, or at the first input if
// that comes sooner, and carry the language of the start.
void TestStartup::otherWindowsFollowTheMainWindowInTheChosenLanguage()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("LANGUAGE")));
    {
        QFile settings(dir.filePath(QStringLiteral("Praxedo.xml")));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("<Conf_Settings><lastlang><language>Test</language></lastlang></Conf_Settings>");
        QFile language(dir.filePath(QStringLiteral("LANGUAGE/Test.lng")));
        QVERIFY(language.open(QIODevice::WriteOnly));
        language.write("STR 100 = Crea\r\n");
    }
    RecordingPrompt prompt;
    {
        Configurator configurator(dir.path());
        TFPraxedoreFirmWare &main = configurator.mainWindow();
        QVERIFY(!main.windows().newProject);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QTRY_VERIFY(main.windows().newProject);
        QCOMPARE(main.windows().newProject->windowTitle(), QStringLiteral("Crea"));
        QVERIFY(main.windows().about && main.windows().softOptions && main.windows().setCobIDAccess
                && main.windows().boot && main.windows().parGen2 && main.windows().modifyFileSx);
    }
    {
        Configurator configurator(dir.path());
        TFPraxedoreFirmWare &main = configurator.mainWindow();
        QTest::keyClick(&main, Qt::Key_Tab);
        QVERIFY(main.windows().newProject);
    }
    QVERIFY(prompt.shown.isEmpty());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
