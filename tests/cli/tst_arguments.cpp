// What praxedo-cli does with the names it is given before any command reads them: a project
// folder that is not there fails every command alike.
#include "CliRun.h"
#include "TestPaths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Every file and folder under `root`, with what a file holds, to see that a run wrote nothing.
QStringList tree(const QString &root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        QFile f(it.filePath());
        const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        entries.append(it.filePath() + u' '
                       + QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex()));
    }
    entries.sort();
    return entries;
}

} // namespace

class TestArguments : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void missingProjectFolder_data();
    void missingProjectFolder();
};

void TestArguments::missingProjectFolder_data()
{
    QTest::addColumn<QStringList>("args"); // {missing} is the folder, {tmp} the test's own folder
    const QString csv = TestPaths::data(QStringLiteral("extras/table.csv"));
    const QString sx = TestPaths::data(QStringLiteral("srec/basic.sx"));
    const QString can0 = QStringLiteral("virtualcan:can0");
    const QString can1 = QStringLiteral("virtualcan:can1");
    const QString m = QStringLiteral("{missing}");
    QTest::newRow("build") << QStringList{QStringLiteral("build"), m};
    QTest::newRow("check") << QStringList{QStringLiteral("check"), m};
    QTest::newRow("firmware") << QStringList{QStringLiteral("firmware"), m, sx};
    QTest::newRow("export") << QStringList{QStringLiteral("export"), m, QStringLiteral("--table"), QStringLiteral("0"),
                                           QStringLiteral("{tmp}/out.csv")};
    QTest::newRow("import") << QStringList{QStringLiteral("import"), m, QStringLiteral("--table"), QStringLiteral("0"),
                                           csv};
    QTest::newRow("simulate") << QStringList{QStringLiteral("simulate"), m, QStringLiteral("--from"),
                                             QStringLiteral("0"), QStringLiteral("0x100")};
    QTest::newRow("map") << QStringList{QStringLiteral("map"), m, QStringLiteral("--from"), QStringLiteral("0"),
                                        QStringLiteral("{tmp}/out.png")};
    QTest::newRow("replay") << QStringList{QStringLiteral("replay"), m, QStringLiteral("--from"), QStringLiteral("0"),
                                           QStringLiteral("{tmp}/trace.log")};
    QTest::newRow("verify") << QStringList{QStringLiteral("verify"), m,   QStringLiteral("--can0"), can0,
                                           QStringLiteral("--can1"), can1};
    QTest::newRow("emulate") << QStringList{QStringLiteral("emulate"), m,   QStringLiteral("--can0"), can0,
                                            QStringLiteral("--can1"),  can1};
}

// Exit 1 stays a usage error; a folder that is not there is the command failing (2), as for
// a script it is the same as a folder it cannot read.
void TestArguments::missingProjectFolder()
{
    QFETCH(QStringList, args);
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString missing = tmp.filePath(QStringLiteral("no-such-project"));
    args.replaceInStrings(QStringLiteral("{missing}"), missing);
    args.replaceInStrings(QStringLiteral("{tmp}"), tmp.path());

    const CliRun::Result r = CliRun::run(args);
    if (r.err.contains("no CAN bus support"))
        QSKIP("this build has no CAN bus support");
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.contains(QFile::encodeName(QDir::toNativeSeparators(missing))), r.err.constData());
    QVERIFY2(!r.err.contains("another program"), r.err.constData());
    QCOMPARE(r.out, QByteArray());
    QCOMPARE(tree(tmp.path()), QStringList());
}

QTEST_GUILESS_MAIN(TestArguments)
#include "tst_arguments.moc"
