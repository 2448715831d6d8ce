#include "RecordingPrompt.h"

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "ui/projects/TFOpenConf.h"
#include "ui/widgets/StyledButton.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Fixture
{
    QTemporaryDir dir;
    AppState state;
    Catalog catalog;
    RecordingPrompt prompt;
    TFOpenConf *window = nullptr;

    explicit Fixture(const QStringList &projects = {QStringLiteral("Alpha"), QStringLiteral("Plant A"),
                                                    QStringLiteral("Zeta")})
    {
        state.Dir_Exe = dir.path();
        state.Dir_Projects = joinPath(dir.path(), QStringLiteral("PROJECTS"));
        QDir().mkpath(state.Dir_Projects);
        for (const QString &p : projects)
            addProject(p);
        state.SW_Code = QStringLiteral("PK58104");
        catalog.Load_Default_Texts();
        window = new TFOpenConf(state, catalog);
    }
    ~Fixture() { delete window; }

    void addProject(const QString &name) { QDir(state.Dir_Projects).mkpath(name); }
    void makeCurrent(const QString &name)
    {
        state.Name_Project = name;
        state.Dir_Project = joinPath(state.Dir_Projects, name);
    }
    QListWidget *list() const { return window->findChild<QListWidget *>(QStringLiteral("ListBox1")); }
    StyledButton *button(const char *name) const { return window->findChild<StyledButton *>(QLatin1String(name)); }
    QStringList items() const
    {
        QStringList names;
        for (int i = 0; i < list()->count(); ++i)
            names.append(list()->item(i)->text());
        return names;
    }
    QString selected() const { return list()->currentItem() ? list()->currentItem()->text() : QString(); }
    void clickItem(const QString &name)
    {
        QListWidgetItem *item = list()->findItems(name, Qt::MatchExactly).value(0);
        QVERIFY(item);
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualItemRect(item).center());
    }
};

} // namespace

class TestOpenConf : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void listsProjectFoldersOnly();
    void preselection_data();
    void preselection();
    void clickingAnEntryChoosesIt();
    void doubleClickOpensAtOnce();
    void okAndCancel_data();
    void okAndCancel();
    void listIsRebuiltAtEveryShowing();
    void emptyListKeepsTheEarlierChoice();
    void controlsKeepTheirMarginsWhenResized_data();
    void controlsKeepTheirMarginsWhenResized();
    void captionsAndHintsComeFromTheCatalog();
};

void TestOpenConf::listsProjectFoldersOnly()
{
    Fixture f;
    QFile file(joinPath(f.state.Dir_Projects, QStringLiteral("readme.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    f.addProject(QStringLiteral("Alpha/bin"));
#ifdef Q_OS_UNIX
    f.addProject(QStringLiteral(".hidden"));
#endif
    f.window->open();
    QStringList names = f.items();
    names.sort();
    QCOMPARE(names, (QStringList{QStringLiteral("Alpha"), QStringLiteral("Plant A"), QStringLiteral("Zeta")}));
    QVERIFY(f.prompt.shown.isEmpty());
}

void TestOpenConf::preselection_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("expected"); // empty: the first listed entry

    QTest::newRow("current project") << QStringLiteral("Zeta") << QStringLiteral("Zeta");
    QTest::newRow("listed in another case") << QStringLiteral("PLANT a") << QStringLiteral("Plant A");
    QTest::newRow("no project open") << QString() << QString();
    QTest::newRow("current folder gone") << QStringLiteral("Removed") << QString();
}

void TestOpenConf::preselection()
{
    QFETCH(QString, current);
    QFETCH(QString, expected);
    Fixture f;
    if (!current.isEmpty())
        f.makeCurrent(current);

    f.window->open();

    if (expected.isEmpty())
        expected = f.items().value(0); // the file system's first entry, whatever it is
    QCOMPARE(f.selected(), expected);
    QCOMPARE(f.window->Name_Conf, expected);
}

void TestOpenConf::clickingAnEntryChoosesIt()
{
    Fixture f;
    f.window->open();
    const QString other = f.items().value(2);
    f.clickItem(other);
    QCOMPARE(f.window->Name_Conf, other);
    QVERIFY(f.window->isVisible());
}

void TestOpenConf::doubleClickOpensAtOnce()
{
    Fixture f;
    f.window->open();
    const QString other = f.items().value(1);
    QListWidgetItem *item = f.list()->findItems(other, Qt::MatchExactly).value(0);
    const QPoint at = f.list()->visualItemRect(item).center();
    QTest::mouseClick(f.list()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(f.list()->viewport(), Qt::LeftButton, {}, at);
    QVERIFY(!f.window->isVisible());
    QCOMPARE(f.window->result(), 1);
    QCOMPARE(f.window->Name_Conf, other);
}

void TestOpenConf::okAndCancel_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("result");
    QTest::newRow("OK") << QStringLiteral("Btn_OK") << 1;
    QTest::newRow("Cancel") << QStringLiteral("Btn_Cancel") << 2;
    QTest::newRow("close box") << QString() << 2;
    QTest::newRow("Escape") << QStringLiteral("Escape") << 2;
}

void TestOpenConf::okAndCancel()
{
    QFETCH(QString, how);
    QFETCH(int, result);
    Fixture f;
    f.window->open();
    if (how.isEmpty())
        QVERIFY(f.window->close());
    else if (how == QLatin1String("Escape"))
        QTest::keyClick(f.list(), Qt::Key_Escape);
    else
        QTest::mouseClick(f.button(how.toLatin1().constData()), Qt::LeftButton);
    QVERIFY(!f.window->isVisible());
    QCOMPARE(f.window->result(), result);
    QVERIFY(f.prompt.shown.isEmpty());
}

void TestOpenConf::listIsRebuiltAtEveryShowing()
{
    Fixture f;
    f.window->open();
    f.window->done(2);
    f.addProject(QStringLiteral("New one"));
    QVERIFY(QDir(joinPath(f.state.Dir_Projects, QStringLiteral("Zeta"))).removeRecursively());

    f.window->open();
    QStringList names = f.items();
    names.sort();
    QCOMPARE(names, (QStringList{QStringLiteral("Alpha"), QStringLiteral("New one"), QStringLiteral("Plant A")}));
}

void TestOpenConf::emptyListKeepsTheEarlierChoice()
{
    Fixture f({QStringLiteral("Only")});
    f.window->open();
    QCOMPARE(f.window->Name_Conf, QStringLiteral("Only"));
    f.window->done(2);
    QVERIFY(QDir(joinPath(f.state.Dir_Projects, QStringLiteral("Only"))).removeRecursively());

    f.window->open();
    QCOMPARE(f.list()->count(), 0);
    QCOMPARE(f.window->Name_Conf, QStringLiteral("Only"));

    Fixture none{QStringList()};
    none.window->open();
    QCOMPARE(none.list()->count(), 0);
    QVERIFY(none.window->Name_Conf.isEmpty());
}

void TestOpenConf::controlsKeepTheirMarginsWhenResized_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("as created") << QSize(377, 351);
    QTest::newRow("larger") << QSize(520, 480);
    QTest::newRow("narrower") << QSize(300, 300);
}

void TestOpenConf::controlsKeepTheirMarginsWhenResized()
{
    QFETCH(QSize, size);
    Fixture f;
    f.window->open();
    f.window->resize(size);
    const QSize s = f.window->size();
    QCOMPARE(s, size);

    const QRect list = f.list()->geometry();
    const QRect ok(f.button("Btn_OK")->mapTo(f.window, QPoint(0, 0)), f.button("Btn_OK")->size());
    const QRect cancel(f.button("Btn_Cancel")->mapTo(f.window, QPoint(0, 0)), f.button("Btn_Cancel")->size());
    const QWidget *panel = f.window->findChild<QWidget *>(QStringLiteral("P_Button"));

    QCOMPARE(list.topLeft(), QPoint(16, 94));
    QCOMPARE(s.width() - (list.right() + 1), 16);
    QCOMPARE(panel->geometry(), QRect(0, s.height() - 40, s.width(), 40));
    QCOMPARE(panel->y() - (list.bottom() + 1), 6);
    QCOMPARE(cancel.size(), QSize(110, 28));
    QCOMPARE(s.width() - (cancel.right() + 1), 16);
    QCOMPARE(cancel.top(), panel->y() + 6);
    QCOMPARE(cancel.left() - (ok.right() + 1), 8);
    QCOMPARE(ok.top(), cancel.top());
    QCOMPARE(f.window->findChild<QWidget *>(QStringLiteral("P_Title"))->width(), s.width());
}

void TestOpenConf::captionsAndHintsComeFromTheCatalog()
{
    Fixture f;
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Open Configuration"));
    QCOMPARE(f.window->findChild<QWidget *>(QStringLiteral("L_SW_Desc"))->property("text").toString(),
             QStringLiteral("Open an Existing Configuration"));
    QCOMPARE(f.window->findChild<QWidget *>(QStringLiteral("Label1"))->property("text").toString(),
             QStringLiteral("List of Avaliable Configurations"));
    QCOMPARE(f.list()->toolTip(), QStringLiteral("Select from this list the configuration to open"));
    QCOMPARE(f.button("Btn_OK")->text(), QStringLiteral("OK"));
    QCOMPARE(f.button("Btn_OK")->toolTip(), QStringLiteral("Open the Selected Configuration"));
    QCOMPARE(f.button("Btn_Cancel")->text(), QStringLiteral("Cancel"));
    QCOMPARE(f.button("Btn_Cancel")->toolTip(), QStringLiteral("Cancel open of Configuration"));
}

QTEST_MAIN(TestOpenConf)
#include "tst_openconf.moc"
