#include "core/app/AppState.h"
#include "core/projects/ProjectStore.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <utility>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

using ProjectStore::CreateResult;

Q_DECLARE_METATYPE(ProjectStore::CreateResult)

namespace {

// Everything below `root`, so a refusal can be shown to leave the disk as it was.
QStringList tree(const QString &root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries.append(QDir(root).relativeFilePath(it.next()));
    entries.sort();
    return entries;
}

struct Workspace
{
    QTemporaryDir dir;
    AppState state;

    Workspace()
    {
        state.Dir_Exe = dir.path();
        state.Dir_Projects = joinPath(dir.path(), QStringLiteral("PROJECTS"));
        QDir().mkpath(state.Dir_Projects);
    }
    void addFolder(const QString &relative) { QDir(state.Dir_Projects).mkpath(relative); }
};

} // namespace

class TestProjectStore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void refusedNamesChangeNothing_data();
    void refusedNamesChangeNothing();
    void createdProjectHoldsOnlyAnEmptyBinAndBecomesCurrent_data();
    void createdProjectHoldsOnlyAnEmptyBinAndBecomesCurrent();
    void nameDifferingOnlyInCaseFollowsTheFileSystem();
    void missingProjectsFolderIsNotRebuilt();
    void listHoldsSubfoldersOnly();
    void listIsByNameIgnoringCase();
    void listOfMissingFolderIsEmpty();
    void preselection_data();
    void preselection();
    void currentNameIsThePartAfterProjects();
};

void TestProjectStore::refusedNamesChangeNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<CreateResult>("expected");

    QTest::newRow("empty") << QString() << CreateResult::EmptyName;
    QTest::newRow("existing project") << QStringLiteral("Plant") << CreateResult::AlreadyExists;
    QTest::newRow("dot") << QStringLiteral(".") << CreateResult::AlreadyExists;
    QTest::newRow("dot dot") << QStringLiteral("..") << CreateResult::AlreadyExists;
    QTest::newRow("folder inside a project") << QStringLiteral("Plant/Sub") << CreateResult::Refused;
    QTest::newRow("backslash") << QStringLiteral("Plant\\Sub") << CreateResult::Refused;
    QTest::newRow("out of PROJECTS") << QStringLiteral("../Outside") << CreateResult::Refused;
    QTest::newRow("absolute path") << QDir::tempPath() + QStringLiteral("/praxedo-abs") << CreateResult::Refused;
    QTest::newRow("only blanks") << QStringLiteral("   ") << CreateResult::Refused;
    QTest::newRow("only a tab") << QStringLiteral("\t") << CreateResult::Refused;
    QTest::newRow("nul character") << QStringLiteral("a") + QChar(0) + QStringLiteral("b") << CreateResult::Refused;
    QTest::newRow("too long for the file system") << QString(300, u'n') << CreateResult::Refused;
}

void TestProjectStore::refusedNamesChangeNothing()
{
    QFETCH(QString, name);
    QFETCH(CreateResult, expected);

    Workspace ws;
    ws.addFolder(QStringLiteral("Plant"));
    ws.state.Name_Project = QStringLiteral("Earlier");
    ws.state.Dir_Project = joinPath(ws.state.Dir_Projects, QStringLiteral("Earlier"));
    Set_Files(ws.state);
    const AppState before = ws.state;
    const QStringList disk = tree(ws.dir.path());

    QCOMPARE(ProjectStore::create(ws.state, name), expected);

    QCOMPARE(tree(ws.dir.path()), disk);
    QVERIFY(!QFileInfo::exists(QDir::tempPath() + QStringLiteral("/praxedo-abs")));
    QCOMPARE(ws.state.Name_Project, before.Name_Project);
    QCOMPARE(ws.state.Dir_Project, before.Dir_Project);
    QCOMPARE(ws.state.File_ParGen, before.File_ParGen);
    QCOMPARE(ws.state.File_CobID, before.File_CobID);
}

void TestProjectStore::createdProjectHoldsOnlyAnEmptyBinAndBecomesCurrent_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << QStringLiteral("Line 1");
    QTest::newRow("blanks kept as typed") << QStringLiteral(" Padded ");
    QTest::newRow("non-ASCII") << QStringLiteral("Linea \u00e8 \u00dc");
}

void TestProjectStore::createdProjectHoldsOnlyAnEmptyBinAndBecomesCurrent()
{
    QFETCH(QString, name);
    Workspace ws;
    ws.addFolder(QStringLiteral("Plant"));

    QCOMPARE(ProjectStore::create(ws.state, name), CreateResult::Created);

    const QString dir = joinPath(ws.state.Dir_Projects, name);
    QVERIFY(QFileInfo(dir).isDir());
    QCOMPARE(tree(dir), QStringList{QStringLiteral("bin")});
    QCOMPARE(ws.state.Name_Project, name);
    QCOMPARE(ws.state.Dir_Project, dir);
    QCOMPARE(ws.state.File_ParGen, joinPath(dir, QStringLiteral("ParGen.xml")));
    QCOMPARE(ws.state.File_CobID, joinPath(dir, QStringLiteral("CanCanCobID.xml")));
    QVERIFY(ws.state.projectOpen());
}

void TestProjectStore::nameDifferingOnlyInCaseFollowsTheFileSystem()
{
    Workspace ws;
    ws.addFolder(QStringLiteral("Plant"));
    const bool ignoresCase = QFileInfo(joinPath(ws.state.Dir_Projects, QStringLiteral("PLANT"))).isDir();

    const CreateResult result = ProjectStore::create(ws.state, QStringLiteral("PLANT"));

    QCOMPARE(result, ignoresCase ? CreateResult::AlreadyExists : CreateResult::Created);
    QCOMPARE(ProjectStore::Load_Existing_Configuration(ws.state.Dir_Projects).size(), ignoresCase ? 1 : 2);
}

void TestProjectStore::missingProjectsFolderIsNotRebuilt()
{
    Workspace ws;
    QVERIFY(QDir(ws.state.Dir_Projects).removeRecursively());

    QCOMPARE(ProjectStore::create(ws.state, QStringLiteral("Line 1")), CreateResult::Refused);
    QVERIFY(!QFileInfo::exists(ws.state.Dir_Projects));
    QVERIFY(!ws.state.projectOpen());
}

void TestProjectStore::listHoldsSubfoldersOnly()
{
    Workspace ws;
    ws.addFolder(QStringLiteral("Plant"));
    ws.addFolder(QStringLiteral("Empty project"));
    ws.addFolder(QStringLiteral("Plant/Nested")); // inside a project: not a project
    QFile file(joinPath(ws.state.Dir_Projects, QStringLiteral("notes.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
#ifdef Q_OS_WIN
    // There a folder is hidden by its attributes, whatever its name.
    for (const auto &[name, attribute] : {std::pair{QStringLiteral("Backup"), DWORD(FILE_ATTRIBUTE_HIDDEN)},
                                          std::pair{QStringLiteral("Recovery"), DWORD(FILE_ATTRIBUTE_SYSTEM)}}) {
        ws.addFolder(name);
        const QString path = QDir::toNativeSeparators(joinPath(ws.state.Dir_Projects, name));
        const auto *native = reinterpret_cast<const wchar_t *>(path.utf16());
        QVERIFY(SetFileAttributesW(native, GetFileAttributesW(native) | attribute));
    }
#else
    ws.addFolder(QStringLiteral(".hidden"));
#endif

    QStringList names = ProjectStore::Load_Existing_Configuration(ws.state.Dir_Projects);
    names.sort();
    QCOMPARE(names, (QStringList{QStringLiteral("Empty project"), QStringLiteral("Plant")}));
}

void TestProjectStore::listIsByNameIgnoringCase()
{
    Workspace ws;
    for (const char *name : {"beta", "Gamma", "alpha", "Beta 2", "ALPHA2"})
        ws.addFolder(QString::fromLatin1(name));
    QCOMPARE(ProjectStore::Load_Existing_Configuration(ws.state.Dir_Projects),
             (QStringList{QStringLiteral("alpha"), QStringLiteral("ALPHA2"), QStringLiteral("beta"),
                          QStringLiteral("Beta 2"), QStringLiteral("Gamma")}));
}

void TestProjectStore::listOfMissingFolderIsEmpty()
{
    QTemporaryDir dir;
    QVERIFY(ProjectStore::Load_Existing_Configuration(dir.filePath(QStringLiteral("PROJECTS"))).isEmpty());
    QVERIFY(ProjectStore::Load_Existing_Configuration(QString()).isEmpty());
}

void TestProjectStore::preselection_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("current");
    QTest::addColumn<int>("found");
    QTest::addColumn<int>("selected");

    const QStringList abc{QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("beta")};
    QTest::newRow("exact") << abc << QStringLiteral("Alpha") << 0 << 0;
    QTest::newRow("other case, first match") << abc << QStringLiteral("BETA") << 1 << 1;
    QTest::newRow("not listed: first entry") << abc << QStringLiteral("Gamma") << -1 << 0;
    QTest::newRow("no project: first entry") << abc << QString() << -1 << 0;
    QTest::newRow("empty list") << QStringList() << QStringLiteral("Alpha") << -1 << -1;
    // Only ASCII letters are folded: "\u00e4RGER" matches "\u00e4rger", not "\u00c4rger".
    QTest::newRow("ASCII folding only") << QStringList{QStringLiteral("\u00c4rger"), QStringLiteral("\u00e4rger")}
                                        << QStringLiteral("\u00e4RGER") << 1 << 1;
}

void TestProjectStore::preselection()
{
    QFETCH(QStringList, names);
    QFETCH(QString, current);
    QFETCH(int, found);
    QFETCH(int, selected);
    QCOMPARE(ProjectStore::Search_Open_Conf(names, current), found);
    QCOMPARE(ProjectStore::preselect(names, current), selected);
}

void TestProjectStore::currentNameIsThePartAfterProjects()
{
    Workspace ws;
    QCOMPARE(ProjectStore::currentName(ws.state), QString());
    ws.state.Dir_Project = joinPath(ws.state.Dir_Projects, QStringLiteral("plant a"));
    QCOMPARE(ProjectStore::currentName(ws.state), QStringLiteral("plant a"));
}

QTEST_GUILESS_MAIN(TestProjectStore)
#include "tst_projectstore.moc"
