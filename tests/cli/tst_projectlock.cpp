// Two programs writing one project: real second processes (praxedo-cli runs and a child that
// holds the lock) against the project lock shared by the configurator and the command line.
#include "CliRun.h"
#include "TestPaths.h"

#include "core/projects/ProjectLock.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

QByteArray row(int id)
{
    return "Original CobID,Type CobID,Modify CobID,Type CobID,Mnemonic\n"
        + QStringLiteral("0x%1,2.0A 11bits,0x%1,2.0A 11bits,row %1\n").arg(id, 3, 16, QLatin1Char('0')).toLatin1();
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A child holding the project's lock until it is told to stop or killed.
class Holder
{
public:
    bool start(const QString &projectDir)
    {
        m_process.start(TestPaths::tool(QStringLiteral("hold_lock")), {projectDir});
        return m_process.waitForReadyRead(60000) && m_process.readAllStandardOutput().startsWith("held");
    }
    qint64 pid() const { return m_process.processId(); }
    void kill()
    {
        m_process.kill();
        m_process.waitForFinished(60000);
    }
    ~Holder()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(60000))
            kill();
    }

private:
    QProcess m_process;
};

} // namespace

class TestProjectLock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(QFileInfo(TestPaths::tool(QStringLiteral("hold_lock"))).isExecutable()); }

    // Without the lock most rounds lose one of the two imports while both report success.
    void concurrentImportsLoseNothing()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString project = dir.filePath(QStringLiteral("P"));
        QVERIFY(QDir().mkpath(project));
        const QString cobId = QDir(project).filePath(QStringLiteral("CanCanCobID.xml"));
        for (int round = 0; round < 10; ++round) {
            QFile::remove(cobId);
            const QString first = dir.filePath(QStringLiteral("first.csv"));
            const QString second = dir.filePath(QStringLiteral("second.csv"));
            QVERIFY(CliRun::put(first, row(2 * round)));
            QVERIFY(CliRun::put(second, row(2 * round + 1)));
            QProcess a;
            QProcess b;
            const QStringList common{QStringLiteral("import"), project, QStringLiteral("--table"), QStringLiteral("0")};
            a.start(TestPaths::cli(), common + QStringList{first, QStringLiteral("--append")});
            b.start(TestPaths::cli(), common + QStringList{second, QStringLiteral("--append")});
            QVERIFY(a.waitForFinished(60000) && b.waitForFinished(60000));
            QVERIFY2(a.exitCode() == 0, a.readAllStandardError().constData());
            QVERIFY2(b.exitCode() == 0, b.readAllStandardError().constData());
            const QByteArray doc = readAll(cobId);
            for (int id : {2 * round, 2 * round + 1})
                QVERIFY2(doc.contains(QStringLiteral("Desc=\"row %1\"").arg(id, 3, 16, QLatin1Char('0')).toLatin1()),
                         qPrintable(QStringLiteral("round %1 lost row %2").arg(round).arg(id)));
        }
        QVERIFY(!QFileInfo::exists(QDir(project).filePath(ProjectLock::fileName())));
    }

    // Every writer of the command line waits, then stops naming the holder; nothing is written.
    void heldLockRefusesTheCommandLine_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("import") << QStringLiteral("import");
        QTest::newRow("build") << QStringLiteral("build");
        QTest::newRow("firmware") << QStringLiteral("firmware");
    }

    void heldLockRefusesTheCommandLine()
    {
        QFETCH(QString, command);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString project = dir.filePath(QStringLiteral("P"));
        QVERIFY(QDir().mkpath(QDir(project).filePath(QStringLiteral("bin"))));
        const QString csv = dir.filePath(QStringLiteral("rows.csv"));
        QVERIFY(CliRun::put(csv, row(1)));
        QStringList args{command, project};
        if (command == QLatin1String("import"))
            args << QStringLiteral("--table") << QStringLiteral("0") << csv;
        else if (command == QLatin1String("firmware"))
            args << TestPaths::data(QStringLiteral("srec/basic.sx"));

        Holder holder;
        QVERIFY(holder.start(project));
        const CliRun::Result refused = CliRun::run(args);
        QCOMPARE(refused.exitCode, 2);
        const QString message = QString::fromLocal8Bit(refused.err);
        QVERIFY2(message.contains(QStringLiteral("hold_lock")), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("process %1 on host ").arg(holder.pid())), qPrintable(message));
        QVERIFY2(message.contains(ProjectLock::fileName()), qPrintable(message));
        QCOMPARE(QDir(project).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList());
        QCOMPARE(QDir(QDir(project).filePath(QStringLiteral("bin"))).entryList(QDir::Files), QStringList());
    }

    // A writer that died holding the lock does not block the next one, even when it died
    // before it could write who it is into the lock file.
    void lockOfADeadProgramIsTakenOver_data()
    {
        QTest::addColumn<bool>("named");
        QTest::newRow("killed holder") << true;
        QTest::newRow("lock file naming nobody") << false;
    }

    void lockOfADeadProgramIsTakenOver()
    {
        QFETCH(bool, named);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString project = dir.filePath(QStringLiteral("P"));
        QVERIFY(QDir().mkpath(project));
        const QString csv = dir.filePath(QStringLiteral("rows.csv"));
        QVERIFY(CliRun::put(csv, row(7)));
        if (named) {
            Holder holder;
            QVERIFY(holder.start(project));
            holder.kill();
        } else {
            QFile empty(QDir(project).filePath(ProjectLock::fileName()));
            QVERIFY(empty.open(QIODevice::WriteOnly));
            QVERIFY(empty.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
        }
        QVERIFY(QFileInfo::exists(QDir(project).filePath(ProjectLock::fileName())));
        const CliRun::Result r =
            CliRun::run({QStringLiteral("import"), project, QStringLiteral("--table"), QStringLiteral("0"), csv});
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QVERIFY(readAll(QDir(project).filePath(QStringLiteral("CanCanCobID.xml"))).contains("Desc=\"row 007\""));
        QVERIFY(!QFileInfo::exists(QDir(project).filePath(ProjectLock::fileName())));
    }

    // Something else at the lock's name is refused at once by name, with how to clear it: a
    // FIFO must not hang the writer, and nothing is blamed on a program that does not exist.
    void somethingElseAtTheLockIsRefused_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::newRow("FIFO") << QStringLiteral("fifo");
        QTest::newRow("folder") << QStringLiteral("folder");
        QTest::newRow("link to nothing") << QStringLiteral("dangling");
        QTest::newRow("unreadable") << QStringLiteral("unreadable");
    }

    void somethingElseAtTheLockIsRefused()
    {
        QFETCH(QString, shape);
#ifdef Q_OS_WIN
        if (shape != QLatin1String("folder"))
            QSKIP("FIFOs, links and modes are POSIX");
#endif
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString project = dir.filePath(QStringLiteral("P"));
        QVERIFY(QDir().mkpath(project));
        const QString csv = dir.filePath(QStringLiteral("rows.csv"));
        QVERIFY(CliRun::put(csv, row(7)));
        const QString lock = QDir(project).filePath(ProjectLock::fileName());
        QStringList prefix;
        if (shape == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(lock));
#ifndef Q_OS_WIN
        if (shape == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(lock).constData(), 0600), 0);
        if (shape == QLatin1String("dangling"))
            QVERIFY(QFile::link(QDir(project).filePath(QStringLiteral("gone")), lock));
        if (shape == QLatin1String("unreadable")) {
            // Another user's lock file this user may not read: the command runs as nobody.
            if (::geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
                QSKIP("running as another user needs the administrator and setpriv");
            QVERIFY(CliRun::put(lock, "4242\nhold_lock\nh\n"));
            QCOMPARE(::chmod(QFile::encodeName(lock).constData(), 0600), 0);
            for (const QString &folder : {dir.path(), project})
                QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
            QCOMPARE(::chmod(QFile::encodeName(csv).constData(), 0644), 0);
            prefix = QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                 QStringLiteral("--clear-groups"), TestPaths::cli()};
        }
#endif
        QProcess p;
        const QStringList args{QStringLiteral("import"), project, QStringLiteral("--table"), QStringLiteral("0"), csv};
        if (prefix.isEmpty())
            p.start(TestPaths::cli(), args);
        else
            p.start(QStringLiteral("setpriv"), prefix + args);
        // Well inside the wait for a live holder: refused at once.
        QVERIFY2(p.waitForFinished(int(ProjectLock::waitTime().count()) - 1000), "the command waited on the lock");
        const QString message = QString::fromLocal8Bit(p.readAllStandardError());
        QCOMPARE(p.exitCode(), 2);
        QVERIFY2(message.contains(QDir::toNativeSeparators(lock)) && message.contains(QStringLiteral("remove it")),
                 qPrintable(message));
        QVERIFY2(!message.contains(QStringLiteral("another program")), qPrintable(message));
        QVERIFY(!QFileInfo::exists(QDir(project).filePath(QStringLiteral("CanCanCobID.xml"))));
    }
};

QTEST_GUILESS_MAIN(TestProjectLock)
#include "tst_projectlock.moc"
