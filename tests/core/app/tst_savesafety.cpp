// Saves against real file systems that refuse them: a child process saves each kind of user file
// through the program's own code while its files may not grow (RLIMIT_FSIZE, EFBIG) or while
// its file system is full (a small tmpfs, as root, ENOSPC). Each save must fail naming the file
// with the system's error, leave the old files byte for byte and leave no temporary file. And a
// link where a file is saved is replaced by a regular file, never written through.
#include "TestPaths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

#ifndef Q_OS_WIN
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

using Tree = QMap<QString, QByteArray>; // relative path -> bytes

Tree readTree(const QString &dir)
{
    Tree tree;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        tree.insert(QDir(dir).relativeFilePath(path),
                    f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>"));
    }
    return tree;
}

struct Run
{
    int exitCode = -1;
    QString err;
};

// "kind variant": one save_loop run; limit > 0 caps the size of every file the child writes.
Run save(const QString &step, const QString &dir, qint64 limit = 0)
{
    const QStringList words = step.split(u' ');
    QProcess p;
#ifndef Q_OS_WIN
    if (limit > 0) {
        p.setChildProcessModifier([limit] {
            const rlimit r{rlim_t(limit), rlim_t(limit)};
            ::setrlimit(RLIMIT_FSIZE, &r);
            std::signal(SIGXFSZ, SIG_IGN);
        });
    }
#else
    Q_UNUSED(limit);
#endif
    p.start(TestPaths::tool(QStringLiteral("save_loop")), {words.at(0), dir, QStringLiteral("once"), words.value(1)});
    Run r;
    if (p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit)
        r.exitCode = p.exitCode();
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

bool prepare(const QStringList &setup, const QString &dir)
{
    for (const QString &step : setup) {
        const Run r = save(step, dir);
        if (r.exitCode != 0) {
            qWarning("%s: %s", qPrintable(step), qPrintable(r.err));
            return false;
        }
    }
    return true;
}

QStringList outputs()
{
    const QString bin = QStringLiteral("PROJECTS/P/bin/");
    return {bin + QStringLiteral("bank1.bin"),   bin + QStringLiteral("bank2.bin"), bin + QStringLiteral("bank3.bin"),
            bin + QStringLiteral("bank4.bin"),   bin + QStringLiteral("bank5.bin"), bin + QStringLiteral("bankg.c"),
            bin + QStringLiteral("bank_K60.bin")};
}

// A small tmpfs, unmounted again however the test ends.
class Mount
{
public:
    explicit Mount(const QString &dir, const QString &size)
        : m_dir(dir)
    {
        m_mounted = QProcess::execute(QStringLiteral("mount"),
                                      {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                       QStringLiteral("size=") + size, QStringLiteral("tmpfs"), dir})
            == 0;
    }
    ~Mount()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {m_dir});
    }
    bool mounted() const { return m_mounted; }

private:
    QString m_dir;
    bool m_mounted = false;
};

// Takes every byte the file system has left.
bool fill(const QString &dir)
{
    QFile filler(QDir(dir).filePath(QStringLiteral("filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    for (qint64 block = 64 * 1024; block > 0; block /= 2) {
        const QByteArray bytes(block, 'f');
        while (filler.write(bytes) == block) {
        }
    }
    return true;
}

} // namespace

class TestSaveSafety : public QObject
{
    Q_OBJECT

private:
    void table()
    {
        QTest::addColumn<QStringList>("setup"); // saves before, without limits
        QTest::addColumn<QString>("step");      // the save that must fail
        QTest::addColumn<qint64>("limit");      // largest file the failing save may write
        QTest::addColumn<QStringList>("kept");  // files that must stay as they were
        QTest::addColumn<QString>("named");     // the file its message names

        const QString settings = QStringLiteral("Praxedo.xml");
        const QString parGen = QStringLiteral("ParGen.xml");
        const QString cobId = QStringLiteral("CanCanCobID.xml");
        const QString csv = QStringLiteral("table.csv");
        const QString job = QStringLiteral("Lanvesk.xml");
        const QString firmware = QStringLiteral("PROJECTS/P/New_FX58104.sx");
        QTest::newRow("Praxedo.xml") << QStringList{QStringLiteral("settings A")} << QStringLiteral("settings B")
                                     << qint64(32) << QStringList{settings} << settings;
        QTest::newRow("ParGen.xml") << QStringList{QStringLiteral("pargen A")} << QStringLiteral("pargen B")
                                    << qint64(32) << QStringList{parGen} << parGen;
        QTest::newRow("CanCanCobID.xml, small") << QStringList{QStringLiteral("cobid A")} << QStringLiteral("cobid B")
                                                << qint64(32) << QStringList{cobId} << cobId;
        QTest::newRow("CanCanCobID.xml, large") << QStringList{QStringLiteral("cobid B")} << QStringLiteral("cobid A")
                                                << qint64(64 * 1024) << QStringList{cobId} << cobId;
        QTest::newRow("CSV export, small")
            << QStringList{QStringLiteral("csv A")} << QStringLiteral("csv B") << qint64(32) << QStringList{csv} << csv;
        QTest::newRow("CSV export, large") << QStringList{QStringLiteral("csv B")} << QStringLiteral("csv A")
                                           << qint64(16 * 1024) << QStringList{csv} << csv;
        QTest::newRow("Lanvesk.xml") << QStringList{QStringLiteral("job A")} << QStringLiteral("job B") << qint64(32)
                                     << QStringList{job} << job;
        // The build writes all seven outputs or none: a bank that does not fit, then the C
        // source after five banks that did.
        const QStringList built{QStringLiteral("image A"), QStringLiteral("documents B")};
        QTest::newRow("build, bank1.bin")
            << built << QStringLiteral("build") << qint64(8 * 1024) << outputs() << QStringLiteral("bank1.bin");
        QTest::newRow("build, bankg.c") << built << QStringLiteral("build") << qint64(20 * 1024) << outputs()
                                        << QStringLiteral("bankg.c");
        QTest::newRow("new firmware") << QStringList{QStringLiteral("firmware A")} << QStringLiteral("firmware B")
                                      << qint64(20 * 1024) << QStringList{firmware} << QString();
    }

    void checkRefused(const Run &run, const QString &systemError, const QString &named, const Tree &before,
                      const QStringList &kept, const QString &dir)
    {
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(systemError), qPrintable(run.err));
        if (!named.isEmpty())
            QVERIFY2(run.err.contains(QDir::separator() + named), qPrintable(run.err));
        const Tree after = readTree(dir);
        QCOMPARE(after.keys(), before.keys()); // no temporary, no half-made output
        for (const QString &file : kept)
            QVERIFY2(after.value(file) == before.value(file), qPrintable(file + QStringLiteral(" changed")));
    }

private Q_SLOTS:
    void fileSizeLimit_data() { table(); }

    void fileSizeLimit()
    {
#ifdef Q_OS_WIN
        QSKIP("RLIMIT_FSIZE does not exist on Windows");
#endif
        QFETCH(QStringList, setup);
        QFETCH(QString, step);
        QFETCH(qint64, limit);
        QFETCH(QStringList, kept);
        QFETCH(QString, named);
        QTemporaryDir work;
        QVERIFY(work.isValid());
        QVERIFY(prepare(setup, work.path()));
        const Tree before = readTree(work.path());
        for (const QString &file : kept)
            QVERIFY2(before.contains(file), qPrintable(file));
        checkRefused(save(step, work.path(), limit), qt_error_string(EFBIG), named, before, kept, work.path());
    }

    void fullFileSystem_data()
    {
        table();
    }

    void fullFileSystem()
    {
#ifdef Q_OS_WIN
        QSKIP("a tmpfs cannot be mounted on Windows");
#else
        if (::geteuid() != 0)
            QSKIP("mounting a tmpfs needs root; the file-size limit covers the same saves");
        QFETCH(QStringList, setup);
        QFETCH(QString, step);
        QFETCH(QStringList, kept);
        QTemporaryDir work;
        QVERIFY(work.isValid());
        const Mount mount(work.path(), QStringLiteral("4m"));
        if (!mount.mounted())
            QSKIP("no tmpfs can be mounted here");
        QVERIFY(prepare(setup, work.path()));
        QVERIFY(fill(work.path()));
        const Tree before = readTree(work.path());
        checkRefused(save(step, work.path()), qt_error_string(ENOSPC), QString(), before, kept, work.path());
#endif
    }

    // Every file a save writes stands there as a link first, half of them to a file outside,
    // half to nothing: afterwards each is a regular file with the saved bytes, and nothing
    // outside was written or created.
    void linkIsReplaced_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char *kind : {"settings", "pargen", "cobid", "csv", "job", "image", "firmware"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }

    void linkIsReplaced()
    {
#ifdef Q_OS_WIN
        QSKIP("symbolic links need extra rights on Windows");
#endif
        QFETCH(QString, kind);
        QTemporaryDir work;
        QTemporaryDir outside;
        QVERIFY(work.isValid() && outside.isValid());
        QVERIFY(prepare({kind + QStringLiteral(" A")}, work.path()));
        const Tree saved = readTree(work.path());

        int n = 0;
        for (auto it = saved.cbegin(); it != saved.cend(); ++it) {
            if (it.key().startsWith(QStringLiteral("MASTER/")))
                continue; // read, not written
            const QString path = QDir(work.path()).filePath(it.key());
            const QString target = QDir(outside.path()).filePath(QStringLiteral("target%1").arg(n));
            if (n++ % 2 == 0) {
                QFile existing(target);
                QVERIFY(existing.open(QIODevice::WriteOnly) && existing.write("outside") == 7);
            }
            QVERIFY(QFile::remove(path));
            QVERIFY(QFile::link(target, path));
        }
        QVERIFY(n > 0);
        const Tree outsideBefore = readTree(outside.path());
        QVERIFY(prepare({kind + QStringLiteral(" A")}, work.path()));

        QCOMPARE(readTree(work.path()), saved);
        for (auto it = saved.cbegin(); it != saved.cend(); ++it)
            QVERIFY2(!QFileInfo(QDir(work.path()).filePath(it.key())).isSymbolicLink(), qPrintable(it.key()));
        QCOMPARE(readTree(outside.path()), outsideBefore);
    }
};

QTEST_GUILESS_MAIN(TestSaveSafety)
#include "tst_savesafety.moc"
