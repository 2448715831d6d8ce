// What praxedo-cli does with the names it is given before any command reads them: a project
// folder that is not there fails every command alike, and a name the system's encoding cannot
// decode is refused rather than turned into another name.
#include "CliRun.h"
#include "TestPaths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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
    void undecodableName_data();
    void undecodableName();
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

void TestArguments::undecodableName_data()
{
    // {bad} is a name holding the byte 0xFF, {tmp} the test's own folder.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("folder"); // {bad} is a folder rather than a file
    const QString table = QStringLiteral("--table");
    QTest::newRow("file read") << QStringList{QStringLiteral("import"), QStringLiteral("{tmp}/project"), table,
                                              QStringLiteral("0"), QStringLiteral("{bad}")}
                               << false;
    QTest::newRow("file written") << QStringList{QStringLiteral("export"), QStringLiteral("{tmp}/project"), table,
                                                 QStringLiteral("0"), QStringLiteral("{bad}")}
                                  << false;
    QTest::newRow("project folder") << QStringList{QStringLiteral("check"), QStringLiteral("{bad}")} << true;
}

// The name as bytes is a\xFF.csv (or a\xFF); Qt decodes it to a\uFFFD.csv, and a file of that
// name lies beside it, readable and writable, so a silent change of name would go unnoticed
// but for the refusal.
void TestArguments::undecodableName()
{
#ifdef Q_OS_WIN
    QSKIP("Windows hands the arguments over as UTF-16: no name is decoded from bytes");
#else
    QFETCH(QStringList, args);
    QFETCH(bool, folder);
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    QVERIFY(QDir(tmp.path()).mkdir(QStringLiteral("project")));
    // A table any project takes.
    const QByteArray tableBytes = "Original CobID,Type CobID,Modify CobID,Type CobID,Mnemonic\n"
                                  "0x181,2.0A 11bits,0x281,2.0A 11bits,speed\n";

    const QByteArray rawName = folder ? QByteArray("a\xFF") : QByteArray("a\xFF.csv");
    const QString decoded = folder ? QStringLiteral("a\uFFFD") : QStringLiteral("a\uFFFD.csv");
    const QByteArray rawPath = QFile::encodeName(tmp.path()) + '/' + rawName;
    if (folder) {
        QVERIFY(::mkdir(rawPath.constData(), 0700) == 0);
        QVERIFY(QDir(tmp.path()).mkdir(decoded));
    } else {
        const int fd = ::open(rawPath.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        QVERIFY(fd >= 0);
        const bool written = ::write(fd, tableBytes.constData(), size_t(tableBytes.size())) == tableBytes.size();
        ::close(fd);
        QVERIFY(written);
        QVERIFY(CliRun::put(tmp.filePath(decoded), tableBytes));
    }
    // QDir cannot remove a name it cannot encode back; this does, however the test leaves.
    const auto removeRaw = qScopeGuard([&] {
        if (folder)
            ::rmdir(rawPath.constData());
        else
            ::unlink(rawPath.constData());
    });
    QVERIFY(QFile::encodeName(QFile::decodeName(rawPath)) != rawPath);

    // QProcess encodes its arguments from text; the shell turns \0377 back into the byte.
    args.replaceInStrings(QStringLiteral("{bad}"),
                          tmp.path() + (folder ? QStringLiteral("/a\\0377") : QStringLiteral("/a\\0377.csv")));
    args.replaceInStrings(QStringLiteral("{tmp}"), tmp.path());
    QVERIFY(!tmp.path().contains(u'\\'));
    args.prepend(TestPaths::cli());
    args = QStringList{QStringLiteral("-c"),
                       QStringLiteral("for a do shift; set -- \"$@\" \"$(printf '%b' \"$a\")\"; "
                                      "done; exec \"$@\""),
                       QStringLiteral("sh")}
        + args;
    const QStringList before = tree(tmp.path());
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("/bin/sh"), args);
    QVERIFY(p.waitForFinished(60000));
    const QByteArray err = p.readAllStandardError();
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 2);
    QVERIFY2(err.contains(QFile::encodeName(tmp.path()) + (folder ? "/a\\xFF " : "/a\\xFF.csv ")), err.constData());
    QCOMPARE(p.readAllStandardOutput(), QByteArray());
    QCOMPARE(tree(tmp.path()), before);
#endif
}

QTEST_GUILESS_MAIN(TestArguments)
#include "tst_arguments.moc"
