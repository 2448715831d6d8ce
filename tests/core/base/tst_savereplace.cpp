#include "TestPaths.h"

#include "core/base/FileIo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

// Saving over a file that is already there, on the file system of the platform the tests run
// on: the new bytes replace the old ones whole, or the save says why not and the old file
// stays, and no temporary file is ever left beside it.
class TestSaveReplace : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void replacesTheOldFile_data();
    void replacesTheOldFile();
    void fileHeldOrProtected_data();
    void fileHeldOrProtected();
    void linkReplacedOrRefused_data();
    void linkReplacedOrRefused();
    void severalFilesAllOrNone_data();
    void severalFilesAllOrNone();
    void ownerAndModeKept();
    void ownerOfAnotherUser_data();
    void ownerOfAnotherUser();
    void leftoverTemporariesRemoved();
    void streamReplacesOnlyOnCommit();
};

namespace {
QByteArray newBytes()
{
    return "<Conf_Settings><lastproj><projectname>Line 4</projectname></lastproj></Conf_Settings>\r\n";
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}
} // namespace

void TestSaveReplace::replacesTheOldFile_data()
{
    QTest::addColumn<QByteArray>("old"); // null: no file yet
    QTest::newRow("no file yet") << QByteArray();
    QTest::newRow("empty file") << QByteArray("");
    QTest::newRow("longer file") << QByteArray(70000, 'x');
    QTest::newRow("shorter file") << QByteArray("<a/>");
}

void TestSaveReplace::replacesTheOldFile()
{
    QFETCH(QByteArray, old);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Praxedo.xml"));
    if (!old.isNull()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(old), old.size());
    }

    QCOMPARE(FileIo::saveFile(path, newBytes()), QString());
    QCOMPARE(readAll(path), newBytes());
    // Twice: the second save replaces the file the first one made.
    QCOMPARE(FileIo::saveFile(path, newBytes() + newBytes()), QString());
    QCOMPARE(readAll(path), newBytes() + newBytes());
    QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("Praxedo.xml")});
}

void TestSaveReplace::fileHeldOrProtected_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("replaced"); // what this platform does
#ifdef Q_OS_WIN
    // Windows replaces neither a file another program holds open nor a read-only one.
    QTest::newRow("open in another program") << false << false;
    QTest::newRow("read-only") << true << false;
#else
    // Here the folder decides: a file open elsewhere is replaced (the reader keeps the old one).
    QTest::newRow("open in another program") << false << true;
#endif
}

void TestSaveReplace::fileHeldOrProtected()
{
    QFETCH(bool, readOnly);
    QFETCH(bool, replaced);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("CanCanCobID.xml"));
    const QByteArray old = "<CobID_List/>\r\n";
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(old), old.size());
    }
    std::unique_ptr<QFile> holder;
    if (readOnly) {
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser));
    } else {
        holder = std::make_unique<QFile>(path);
        QVERIFY(holder->open(QIODevice::ReadOnly));
    }

    const QString error = FileIo::saveFile(path, newBytes());
    holder.reset();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);

    if (replaced) {
        QCOMPARE(error, QString());
        QCOMPARE(readAll(path), newBytes());
    } else {
        QVERIFY2(error.startsWith(QStringLiteral("Cannot write %1: ").arg(QDir::toNativeSeparators(path))),
                 qPrintable(error));
        QCOMPARE(readAll(path), old);
    }
    QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("CanCanCobID.xml")});
}

namespace {
void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

#ifndef Q_OS_WIN
struct stat statOf(const QString &path)
{
    struct stat st = {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}
#endif
} // namespace

// What a link points to decides: a link to a file is replaced by the new file and the file it
// pointed to stays as it was; a link to a folder, FIFO or device is refused like what it
// points to (/dev/stdout is such a link), and left as it is.
void TestSaveReplace::linkReplacedOrRefused_data()
{
    QTest::addColumn<QString>("pointsTo"); // file, fifo, device, folder, nothing
    QTest::addColumn<bool>("replaced");
    QTest::newRow("link to a file") << QStringLiteral("file") << true;
    QTest::newRow("link to nothing") << QStringLiteral("nothing") << true;
    QTest::newRow("link to a FIFO") << QStringLiteral("fifo") << false;
    QTest::newRow("link to a device") << QStringLiteral("device") << false;
    QTest::newRow("link to a folder") << QStringLiteral("folder") << false;
    QTest::newRow("a device itself") << QStringLiteral("device itself") << false;
}

void TestSaveReplace::linkReplacedOrRefused()
{
#ifdef Q_OS_WIN
    QSKIP("links, FIFOs and device nodes are made on POSIX file systems");
#else
    QFETCH(QString, pointsTo);
    QFETCH(bool, replaced);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = dir.filePath(QStringLiteral("target"));
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    const QByteArray name = QFile::encodeName(target);
    if (pointsTo == QLatin1String("file"))
        put(target, "theirs");
    else if (pointsTo == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(name.constData(), 0600), 0);
    else if (pointsTo == QLatin1String("folder"))
        QVERIFY(QDir().mkdir(target));
    else if (pointsTo.startsWith(QLatin1String("device"))) {
        // The null device's numbers, made in the test folder: never a node of the system.
        if (::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
            QSKIP("making a device node needs the administrator");
    }
    if (pointsTo == QLatin1String("device itself"))
        QVERIFY(QFile::rename(target, path));
    else
        QVERIFY(QFile::link(target, path));
    const struct stat before = statOf(path);

    const QString error = FileIo::saveFile(path, newBytes());
    if (replaced) {
        QCOMPARE(error, QString());
        QVERIFY(!QFileInfo(path).isSymbolicLink());
        QCOMPARE(readAll(path), newBytes());
        if (pointsTo == QLatin1String("file"))
            QCOMPARE(readAll(target), QByteArray("theirs"));
    } else {
        QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
        const struct stat after = statOf(path);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_ino, before.st_ino);
    }
    for (const QString &entry : entries(dir.path()))
        QVERIFY2(!entry.endsWith(QLatin1String(".new")), qPrintable(entry));
#endif
}

// Several files saved as one are all replaced or none is, even when a rename fails half-way:
// a file held open on Windows, a mount point here (as another user's file in a sticky folder).
void TestSaveReplace::severalFilesAllOrNone_data()
{
    QTest::addColumn<bool>("oldFiles"); // false: only the blocked file exists before
    QTest::newRow("replacing old files") << true;
    QTest::newRow("making new files") << false;
}

void TestSaveReplace::severalFilesAllOrNone()
{
    QFETCH(bool, oldFiles);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QStringList names{QStringLiteral("bank1.bin"), QStringLiteral("bank2.bin"), QStringLiteral("bank3.bin"),
                            QStringLiteral("bankg.c")};
    QList<FileIo::PendingFile> files;
    for (const QString &name : names) {
        if (oldFiles || name == names.at(2))
            put(dir.filePath(name), "old " + name.toLatin1());
        files.append({dir.filePath(name), "new " + name.toLatin1() + QByteArray(5000, 'n')});
    }
    const QString blocked = dir.filePath(names.at(2));
#ifdef Q_OS_WIN
    QFile holder(blocked);
    QVERIFY(holder.open(QIODevice::ReadOnly));
#else
    QTemporaryDir other;
    QVERIFY(other.isValid());
    const QString source = other.filePath(QStringLiteral("other"));
    put(source, "old " + names.at(2).toLatin1());
    if (::geteuid() != 0
        || QProcess::execute(QStringLiteral("mount"), {QStringLiteral("--bind"), source, blocked}) != 0)
        QSKIP("a mount point needs the administrator");
    const auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {blocked}); });
#endif

    const QString error = FileIo::saveFiles(files);
    QVERIFY2(error.startsWith(QStringLiteral("Cannot write %1: ").arg(QDir::toNativeSeparators(blocked))),
             qPrintable(error));
    for (const QString &name : names) {
        if (oldFiles || name == names.at(2))
            QCOMPARE(readAll(dir.filePath(name)), "old " + name.toLatin1());
        else
            QVERIFY2(!QFileInfo::exists(dir.filePath(name)), qPrintable(name));
    }
    QStringList expected = oldFiles ? names : QStringList{names.at(2)};
    expected.sort();
    QCOMPARE(entries(dir.path()), expected);
}

// Root saving a user's file leaves it the user's, with its permission bits.
void TestSaveReplace::ownerAndModeKept()
{
#ifdef Q_OS_WIN
    QSKIP("owners and modes are POSIX; Windows keeps attributes and access rights in the rename");
#else
    if (::geteuid() != 0)
        QSKIP("giving a file to another user needs the administrator");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("ParGen.xml"));
    put(path, "old");
    const QByteArray name = QFile::encodeName(path);
    QCOMPARE(::chown(name.constData(), 65534, 65534), 0);
    QCOMPARE(::chmod(name.constData(), 0640), 0);

    QCOMPARE(FileIo::saveFile(path, newBytes()), QString());
    const struct stat after = statOf(path);
    QCOMPARE(after.st_uid, uid_t(65534));
    QCOMPARE(after.st_gid, gid_t(65534));
    QCOMPARE(after.st_mode & 07777, mode_t(0640));
    QCOMPARE(readAll(path), newBytes());
#endif
}

// Another user saving a file: a member of its group keeps the group and the mode; the owner
// cannot be kept, and the save says so. A second real process under another user.
void TestSaveReplace::ownerOfAnotherUser_data()
{
    QTest::addColumn<bool>("member");
    QTest::addColumn<int>("mode");
    QTest::newRow("a member of the file's group") << true << 0660;
    QTest::newRow("anybody, the file open to all") << false << 0666;
}

void TestSaveReplace::ownerOfAnotherUser()
{
#ifdef Q_OS_WIN
    QSKIP("owners and groups are POSIX");
#else
    QFETCH(bool, member);
    QFETCH(int, mode);
    if (::geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
        QSKIP("running as another user needs the administrator and setpriv");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    const QString path = dir.filePath(QStringLiteral("table.csv"));
    put(path, "old");
    const QByteArray name = QFile::encodeName(path);
    constexpr gid_t group = 4321;
    QCOMPARE(::chown(name.constData(), 0, group), 0);
    QCOMPARE(::chmod(name.constData(), mode_t(mode)), 0);

    QProcess p;
    p.start(QStringLiteral("setpriv"),
            {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
             member ? QStringLiteral("--groups=%1").arg(group) : QStringLiteral("--clear-groups"),
             TestPaths::tool(QStringLiteral("save_loop")), QStringLiteral("csv"), dir.path(), QStringLiteral("once"),
             QStringLiteral("B")});
    QVERIFY(p.waitForFinished(60000));
    const QByteArray err = p.readAllStandardError();
    if (p.exitCode() != 0 && err.contains("Permission denied") && !err.contains("table.csv"))
        QSKIP("the test programs cannot be run by another user here");
    QVERIFY2(p.exitCode() == 0, err.constData());
    const struct stat after = statOf(path);
    QCOMPARE(after.st_uid, uid_t(65534));
    QCOMPARE(after.st_gid, member ? group : gid_t(65534));
    QCOMPARE(after.st_mode & 07777, mode_t(mode));
    QVERIFY2(err.contains("now belongs to") && err.contains(QFile::encodeName(QDir::toNativeSeparators(path))),
             err.constData());
#endif
}

// Temporaries a killed save left are removed by the next save of the file; one that another
// process still holds, and names that only look alike, are left.
void TestSaveReplace::leftoverTemporariesRemoved()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("CanCanCobID.xml"));
    put(path, "old");
    const QString left = dir.filePath(QStringLiteral(".CanCanCobID.xml.0123abcd.new"));
    const QString held = dir.filePath(QStringLiteral(".CanCanCobID.xml.89abcdef.new"));
    const QString alike = dir.filePath(QStringLiteral(".CanCanCobID.xml.mine.new"));
    const QString otherFile = dir.filePath(QStringLiteral(".ParGen.xml.0123abcd.new"));
    for (const QString &f : {left, held, alike, otherFile})
        put(f, "half");
#ifdef Q_OS_WIN
    QFile holder(held);
    QVERIFY(holder.open(QIODevice::ReadOnly));
#else
    if (QStandardPaths::findExecutable(QStringLiteral("flock")).isEmpty())
        QSKIP("no flock program to hold the file from a second process");
    QProcess holder;
    holder.start(QStringLiteral("flock"), {held, QStringLiteral("-c"), QStringLiteral("echo held; sleep 60")});
    QVERIFY(holder.waitForReadyRead(10000));
    const auto stop = qScopeGuard([&] {
        holder.kill();
        holder.waitForFinished();
    });
#endif

    QCOMPARE(FileIo::saveFile(path, newBytes()), QString());
    QVERIFY(!QFileInfo::exists(left));
    QVERIFY(QFileInfo::exists(held));
    QVERIFY(QFileInfo::exists(alike));
    QVERIFY(QFileInfo::exists(otherFile));
    QCOMPARE(readAll(path), newBytes());
}

void TestSaveReplace::streamReplacesOnlyOnCommit()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("out.log"));
    put(path, "old");
    {
        FileIo::SaveStream stream;
        QCOMPARE(stream.open(path), QString());
        QCOMPARE(stream.device()->write("(1.0) can0 181#00\n"), qint64(18));
        QCOMPARE(readAll(path), QByteArray("old"));
    } // dropped: nothing replaced, nothing left
    QCOMPARE(readAll(path), QByteArray("old"));
    QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("out.log")});

    FileIo::SaveStream stream;
    QCOMPARE(stream.open(path), QString());
    for (int i = 0; i < 1000; ++i)
        QVERIFY(stream.device()->write("(1.0) can0 181#00\n") == 18);
    QCOMPARE(stream.writeError(), QString());
    QCOMPARE(stream.commit(), QString());
    QCOMPARE(readAll(path).size(), 18000);
    QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("out.log")});
}

QTEST_GUILESS_MAIN(TestSaveReplace)
#include "tst_savereplace.moc"
