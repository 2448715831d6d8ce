#include "RecordingPrompt.h"

#include "core/app/AppState.h"
#include "core/i18n/Catalog.h"
#include "ui/app/TFPraxedoreFirmWare.h"

#include <QDir>
#include <QLabel>
#include <QFile>
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
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("L_Name_Conf"))->text(), QStringLiteral("None Configuration Opened "));
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

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
