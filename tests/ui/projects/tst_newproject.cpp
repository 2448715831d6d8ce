#include "RecordingPrompt.h"

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "ui/projects/TFNew_Project.h"
#include "ui/widgets/StyledButton.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Fixture
{
    QTemporaryDir dir;
    AppState state;
    Catalog catalog;
    RecordingPrompt prompt;
    TFNew_Project *window = nullptr;

    Fixture()
    {
        state.Dir_Exe = dir.path();
        state.Dir_Projects = joinPath(dir.path(), QStringLiteral("PROJECTS"));
        QDir().mkpath(joinPath(state.Dir_Projects, QStringLiteral("Plant")));
        state.SW_Code = QStringLiteral("PK58104");
        catalog.Load_Default_Texts();
        window = new TFNew_Project(state, catalog);
    }
    ~Fixture() { delete window; }

    QLineEdit *field() const { return window->findChild<QLineEdit *>(QStringLiteral("E_New_Proj")); }
    StyledButton *button(const char *name) const { return window->findChild<StyledButton *>(QLatin1String(name)); }
    QStringList projects() const
    {
        return QDir(state.Dir_Projects).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }

    void typeName(const QString &name)
    {
        window->open();
        QTest::keyClicks(field(), name);
    }
};

} // namespace

class TestNewProject : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void refusalShowsItsMessageAndKeepsTheWindowOpen_data();
    void refusalShowsItsMessageAndKeepsTheWindowOpen();
    void okCreatesTheProjectAndMakesItCurrent();
    void enterInTheFieldActsAsOk_data();
    void enterInTheFieldActsAsOk();
    void everyShowingStartsEmptyWithFocusInTheField();
    void cancelAndCloseBoxChangeNothing_data();
    void cancelAndCloseBoxChangeNothing();
    void captionsAndHintsComeFromTheCatalog_data();
    void captionsAndHintsComeFromTheCatalog();
    void layout();
};

void TestNewProject::refusalShowsItsMessageAndKeepsTheWindowOpen_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");

    const QString m105 = QStringLiteral("Error! Name project is not valid");
    const QString m106 = QStringLiteral("Error! Name project is not valid because directory already exists");
    QTest::newRow("empty") << QString() << QStringLiteral("Error! Name Project is not valid");
    QTest::newRow("existing") << QStringLiteral("Plant") << m106;
    QTest::newRow("dot") << QStringLiteral(".") << m106;
    QTest::newRow("dot dot") << QStringLiteral("..") << m106;
    QTest::newRow("inside a project") << QStringLiteral("Plant/Sub") << m105;
    QTest::newRow("leaves PROJECTS") << QStringLiteral("../Outside") << m105;
    QTest::newRow("refused by the file system") << QString(300, u'x') << m105;
}

void TestNewProject::refusalShowsItsMessageAndKeepsTheWindowOpen()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    Fixture f;
    f.typeName(name);

    QTest::mouseClick(f.button("Btn_OK"), Qt::LeftButton);

    QCOMPARE(f.prompt.shown.size(), 1);
    QCOMPARE(f.prompt.lastKind(), Prompt::Kind::Error);
    QCOMPARE(f.prompt.lastText(), message);
    QVERIFY(f.window->isVisible());
    QCOMPARE(f.field()->text(), name); // the user's entry stays for another try
    QCOMPARE(f.projects(), QStringList{QStringLiteral("Plant")});
    QVERIFY(!QFileInfo::exists(f.dir.filePath(QStringLiteral("Outside"))));
    QVERIFY(!f.state.projectOpen());
    QVERIFY(f.state.Name_Project.isEmpty());
}

void TestNewProject::okCreatesTheProjectAndMakesItCurrent()
{
    Fixture f;
    f.typeName(QStringLiteral(" Line 1 "));

    QTest::mouseClick(f.button("Btn_OK"), Qt::LeftButton);

    QVERIFY(f.prompt.shown.isEmpty());
    QVERIFY(!f.window->isVisible());
    QCOMPARE(f.window->result(), 1);
    const QString dir = joinPath(f.state.Dir_Projects, QStringLiteral(" Line 1 "));
    QCOMPARE(f.state.Name_Project, QStringLiteral(" Line 1 "));
    QCOMPARE(f.state.Dir_Project, dir);
    QCOMPARE(f.state.File_ParGen, joinPath(dir, QStringLiteral("ParGen.xml")));
    QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("bin")});
    QVERIFY(QDir(joinPath(dir, QStringLiteral("bin"))).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

void TestNewProject::enterInTheFieldActsAsOk_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
}

void TestNewProject::enterInTheFieldActsAsOk()
{
    QFETCH(int, key);
    Fixture f;
    f.typeName(QString());

    // Empty: exactly one message (Enter must not also press a button), window stays.
    QTest::keyClick(f.field(), Qt::Key(key));
    QCOMPARE(f.prompt.shown.size(), 1);
    QCOMPARE(f.prompt.lastText(), QStringLiteral("Error! Name Project is not valid"));
    QVERIFY(f.window->isVisible());

    QTest::keyClicks(f.field(), QStringLiteral("Line 2"));
    QTest::keyClick(f.field(), Qt::Key(key));
    QCOMPARE(f.prompt.shown.size(), 1);
    QVERIFY(!f.window->isVisible());
    QCOMPARE(f.window->result(), 1);
    QCOMPARE(f.state.Name_Project, QStringLiteral("Line 2"));
}

void TestNewProject::everyShowingStartsEmptyWithFocusInTheField()
{
    Fixture f;
    f.typeName(QStringLiteral("draft"));
    QTest::mouseClick(f.button("Btn_Cancel"), Qt::LeftButton);
    QVERIFY(!f.window->isVisible());

    f.window->open();
    QVERIFY(f.field()->text().isEmpty());
    QCOMPARE(f.window->focusWidget(), f.field());
}

void TestNewProject::cancelAndCloseBoxChangeNothing_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("Cancel") << false;
    QTest::newRow("close box") << true;
}

void TestNewProject::cancelAndCloseBoxChangeNothing()
{
    QFETCH(bool, closeBox);
    Fixture f;
    f.state.Name_Project = QStringLiteral("Plant");
    f.state.Dir_Project = joinPath(f.state.Dir_Projects, QStringLiteral("Plant"));
    f.typeName(QStringLiteral("Line 3"));

    if (closeBox)
        QVERIFY(f.window->close());
    else
        QTest::mouseClick(f.button("Btn_Cancel"), Qt::LeftButton);

    QVERIFY(!f.window->isVisible());
    QCOMPARE(f.window->result(), 2);
    QCOMPARE(f.projects(), QStringList{QStringLiteral("Plant")});
    QCOMPARE(f.state.Name_Project, QStringLiteral("Plant"));
    QVERIFY(f.prompt.shown.isEmpty());
}

void TestNewProject::captionsAndHintsComeFromTheCatalog_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hint");

    QTest::newRow("subtitle") << QStringLiteral("L_SW_Desc") << QStringLiteral("Create New Configuration") << QString();
    QTest::newRow("label") << QStringLiteral("Label1") << QStringLiteral("Name of the new Configuration") << QString();
    QTest::newRow("field") << QStringLiteral("E_New_Proj") << QString()
                           << QStringLiteral("Insert here the name of new configuration");
    QTest::newRow("OK") << QStringLiteral("Btn_OK") << QStringLiteral("OK")
                        << QStringLiteral("Confirm the Name of new Configuration");
    QTest::newRow("Cancel") << QStringLiteral("Btn_Cancel") << QStringLiteral("Cancel")
                            << QStringLiteral("Cancel the New Configuration");
}

void TestNewProject::captionsAndHintsComeFromTheCatalog()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(QString, hint);
    Fixture f;
    QWidget *w = f.window->findChild<QWidget *>(control);
    QVERIFY(w);
    const QVariant shown = w->property("text");
    QCOMPARE(shown.toString(), text);
    QCOMPARE(w->toolTip(), hint);
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Create New Configuration"));
}

void TestNewProject::layout()
{
    Fixture f;
    f.window->open();
    QCOMPARE(f.window->size(), QSize(331, 162));
    QCOMPARE(f.window->minimumSize(), f.window->maximumSize());
    QCOMPARE(f.window->findChild<QLabel *>(QStringLiteral("L_SW_Code"))->text(), QStringLiteral("PK58104"));
    QCOMPARE(f.field()->geometry(), QRect(16, 94, 297, 21));
    QCOMPARE(f.button("Btn_OK")->mapTo(f.window, QPoint(0, 0)), QPoint(85, 128));
    QCOMPARE(f.button("Btn_Cancel")->geometry().size(), QSize(110, 28));
    QCOMPARE(f.button("Btn_Cancel")->mapTo(f.window, QPoint(0, 0)), QPoint(203, 128));
}

QTEST_MAIN(TestNewProject)
#include "tst_newproject.moc"
