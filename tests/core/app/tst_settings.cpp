#include "core/app/AppState.h"
#include "core/app/SettingsFile.h"
#include "core/base/Catalog.h"
#include "core/start/StartSequence.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestSettings : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void firstStartInEmptyFolder();
    void writesExactTree();
    void flags_data();
    void flags();
    void missingGroupsKeepOtherValues();
    void notWellFormedGivesDefaults();
    void declarationOrCommentFirst();
    void rememberedProjectGone();
    void unsafeRememberedNameNotOpened();
    void absentLanguageBecomesEnglish();
    void failedSaveKeepsOldFile();
    void controlCharactersDoNotSpoilTheFile();
};

namespace {
void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray settingsWith(const QByteArray &internet)
{
    return "<Conf_Settings><lastproj><projectname>Demo</projectname></lastproj>"
           "<lastipadd><ipaddress>10.0.0.7</ipaddress></lastipadd>"
           "<lastlang><language>English</language></lastlang>"
        + internet + "</Conf_Settings>";
}
} // namespace

void TestSettings::firstStartInEmptyFolder()
{
    QTemporaryDir dir;
    AppState state;
    Catalog cat;
    const auto outcome = StartSequence::run(state, cat, dir.path());
    for (const char *name : {"MASTER", "PROJECTS", "LANGUAGE"})
        QVERIFY(QDir(dir.filePath(QLatin1String(name))).exists());
    QVERIFY(!state.projectOpen());
    QVERIFY(!outcome.timerEnabled);
    QCOMPARE(state.IP_Device, QStringLiteral("192.168.2.205"));
    QCOMPARE(state.Language_Sel, QStringLiteral("English"));
    QCOMPARE(state.Language_Ver, QStringLiteral("NO VER."));
    QVERIFY(state.Read_Back);
    QCOMPARE(state.SW_Code, QStringLiteral("PK58104"));
    QCOMPARE(cat.text(0), QStringLiteral("Begin"));
    QCOMPARE(SettingsFile::bytes(state),
             QByteArray("<Conf_Settings><lastproj><projectname></projectname></lastproj>"
                        "<lastipadd><ipaddress>192.168.2.205</ipaddress></lastipadd>"
                        "<lastlang><language>English</language></lastlang>"
                        "<lastinternet><enable_internet>0</enable_internet><enable_update>0</enable_update>"
                        "<enable_jump_field_tables>0</enable_jump_field_tables>"
                        "<Double_Click_Auto_Size>0</Double_Click_Auto_Size></lastinternet></Conf_Settings>"));
}

void TestSettings::writesExactTree()
{
    AppState state;
    state.Name_Project = QStringLiteral("Line A & B");
    state.IP_Device = QStringLiteral("10.1.2.3");
    state.Language_Sel = QStringLiteral("Deutsch");
    state.Enable_Internet = true;
    state.Double_Click_Auto_Size = true;
    AppState back;
    SettingsFile::readBytes(back, SettingsFile::bytes(state));
    QCOMPARE(back.Name_Project, state.Name_Project);
    QCOMPARE(back.IP_Device, state.IP_Device);
    QCOMPARE(back.Language_Sel, state.Language_Sel);
    QVERIFY(back.Enable_Internet);
    QVERIFY(!back.Enable_Update);
    QVERIFY(!back.Enable_Jump_Field_Tables);
    QVERIFY(back.Double_Click_Auto_Size);
}

void TestSettings::flags_data()
{
    QTest::addColumn<QByteArray>("internet");
    QTest::addColumn<bool>("timer");
    QTest::newRow("both on") << QByteArray(
        "<lastinternet><enable_internet>1</enable_internet><enable_update>1</enable_update></lastinternet>")
                             << true;
    QTest::newRow("update off") << QByteArray(
        "<lastinternet><enable_internet>1</enable_internet><enable_update>0</enable_update></lastinternet>")
                                << false;
    QTest::newRow("update missing") << QByteArray("<lastinternet><enable_internet>1</enable_internet></lastinternet>")
                                    << false;
    QTest::newRow("true is not 1") << QByteArray(
        "<lastinternet><enable_internet>true</enable_internet><enable_update>1</enable_update></lastinternet>")
                                   << false;
    QTest::newRow("blank before 1") << QByteArray(
        "<lastinternet><enable_internet> 1</enable_internet><enable_update>1</enable_update></lastinternet>")
                                    << false;
}

void TestSettings::flags()
{
    QFETCH(QByteArray, internet);
    QFETCH(bool, timer);
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("Praxedo.xml")), settingsWith(internet));
    AppState state;
    Catalog cat;
    QCOMPARE(StartSequence::run(state, cat, dir.path()).timerEnabled, timer);
}

void TestSettings::missingGroupsKeepOtherValues()
{
    AppState state;
    state.Enable_Update = true;
    SettingsFile::readBytes(state, settingsWith(QByteArray()));
    QCOMPARE(state.Name_Project, QStringLiteral("Demo"));
    QCOMPARE(state.IP_Device, QStringLiteral("10.0.0.7"));
    QVERIFY(!state.Enable_Internet && !state.Enable_Update && !state.Enable_Jump_Field_Tables
            && !state.Double_Click_Auto_Size);

    SettingsFile::readBytes(state, "<Other><lastlang><language>Deutsch</language></lastlang></Other>");
    QCOMPARE(state.Language_Sel, QStringLiteral("Deutsch")); // root taken whatever its name
    QCOMPARE(state.IP_Device, QStringLiteral("192.168.2.205"));
    QCOMPARE(state.Name_Project, QString());
}

void TestSettings::notWellFormedGivesDefaults()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Praxedo.xml"));
    writeFile(path, "<Conf_Settings><lastproj><projectname>Demo</projectname>");
    AppState state;
    Catalog cat;
    const auto outcome = StartSequence::run(state, cat, dir.path());
    QVERIFY(outcome.settingsUnreadable);
    QCOMPARE(state.Name_Project, QString());
    QCOMPARE(state.IP_Device, QStringLiteral("192.168.2.205"));
    QVERIFY(SettingsFile::write(state, path).isEmpty());
    AppState again;
    QVERIFY(SettingsFile::read(again, path));
}

void TestSettings::declarationOrCommentFirst()
{
    AppState state;
    SettingsFile::readBytes(state, "<?xml version=\"1.0\"?>\n" + settingsWith(QByteArray()));
    QCOMPARE(state.Name_Project, QStringLiteral("Demo"));
    SettingsFile::readBytes(state, "<!-- note -->" + settingsWith(QByteArray()));
    QCOMPARE(state.Name_Project, QString()); // the comment is the first node
}

void TestSettings::rememberedProjectGone()
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("Praxedo.xml")), settingsWith(QByteArray()));
    AppState state;
    Catalog cat;
    QVERIFY(!StartSequence::run(state, cat, dir.path()).projectRestored);
    QVERIFY(!state.projectOpen());
    QCOMPARE(state.Name_Project, QStringLiteral("Demo"));
    QVERIFY(SettingsFile::bytes(state).contains("<projectname>Demo</projectname>"));

    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("PROJECTS/Demo")));
    AppState opened;
    QVERIFY(StartSequence::run(opened, cat, dir.path()).projectRestored);
    QCOMPARE(QDir(opened.Dir_Project).dirName(), QStringLiteral("Demo"));
    QCOMPARE(QFileInfo(opened.File_ParGen).fileName(), QStringLiteral("ParGen.xml"));
    QCOMPARE(QFileInfo(opened.File_CobID).dir().dirName(), QStringLiteral("Demo"));
}

void TestSettings::unsafeRememberedNameNotOpened()
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("Praxedo.xml")),
              "<Conf_Settings><lastproj><projectname>../MASTER</projectname></lastproj></Conf_Settings>");
    AppState state;
    Catalog cat;
    StartSequence::run(state, cat, dir.path());
    QVERIFY(!state.projectOpen());
}

void TestSettings::absentLanguageBecomesEnglish()
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("Praxedo.xml")),
              "<Conf_Settings><lastlang><language>Klingon</language></lastlang></Conf_Settings>");
    AppState state;
    Catalog cat;
    StartSequence::run(state, cat, dir.path());
    QCOMPARE(state.Language_Sel, QStringLiteral("English"));
    QVERIFY(SettingsFile::bytes(state).contains("<language>English</language>"));
}

void TestSettings::failedSaveKeepsOldFile()
{
    QTemporaryDir dir;
    // A folder where the file should be: the save fails with a reason naming the file.
    const QString path = dir.filePath(QStringLiteral("sub/Praxedo.xml"));
    AppState state;
    const QString error = SettingsFile::write(state, path);
    QVERIFY(!error.isEmpty());
    QVERIFY(error.contains(QStringLiteral("Praxedo.xml")));

    const QString good = dir.filePath(QStringLiteral("Praxedo.xml"));
    QVERIFY(SettingsFile::write(state, good).isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Praxedo.xml")});
}

// A control character pasted into the address would make the whole file unreadable at the
// next start; it is left out and everything else survives.
void TestSettings::controlCharactersDoNotSpoilTheFile()
{
    AppState state;
    SettingsFile::setDefaults(state);
    state.Name_Project = QStringLiteral("Demo");
    state.IP_Device = QStringLiteral("10.0.\x01"
                                     "0.7");
    state.Language_Sel = QStringLiteral("Ital\x1Fiano");
    state.Enable_Update = true;
    AppState back;
    bool wellFormed = false;
    SettingsFile::readBytes(back, SettingsFile::bytes(state), &wellFormed);
    QVERIFY(wellFormed);
    QCOMPARE(back.Name_Project, QStringLiteral("Demo"));
    QCOMPARE(back.IP_Device, QStringLiteral("10.0.0.7"));
    QCOMPARE(back.Language_Sel, QStringLiteral("Italiano"));
    QVERIFY(back.Enable_Update);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
