// Files that are not what they seem where the command line writes and builds: outputs that
// exist and are not regular files are refused and left as they are; standard output is an
// output too; a document that is a link to nothing stops the build.
#include "CliRun.h"
#include "SpecialFiles.h"
#include "TestPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

namespace {

using SpecialFiles::make;
using SpecialFiles::Shape;

} // namespace

Q_DECLARE_METATYPE(Shape)

class TestSpecialFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // An output that exists and is not a regular file is refused by name and left as it is.
    void outputThatIsNoRegularFileIsLeftAlone_data()
    {
        QTest::addColumn<Shape>("shape");
        QTest::addColumn<QString>("command");
        for (const char *command : {"export", "map"}) {
            QTest::addRow("%s to a FIFO", command) << Shape::Fifo << QString::fromLatin1(command);
            QTest::addRow("%s to a folder", command) << Shape::Folder << QString::fromLatin1(command);
        }
    }

    void outputThatIsNoRegularFileIsLeftAlone()
    {
#ifdef Q_OS_WIN
        QSKIP("FIFOs are POSIX file-system objects");
#endif
        QFETCH(Shape, shape);
        QFETCH(QString, command);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString project = prepareProject(dir.path());
        QVERIFY(!project.isEmpty());
        const QString out = dir.filePath(QStringLiteral("out"));
        QVERIFY(make(shape, out));
        const CliRun::Result r = CliRun::run(outputArgs(command, project, out));
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(QFile::encodeName(QDir::toNativeSeparators(out))), r.err.constData());
        const QFileInfo after(out);
        QVERIFY(!after.isFile());
        QCOMPARE(QDir(dir.path())
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                     .size(),
                 2);
    }

    // "-" writes the output to standard output, the summary to standard error.
    void dashIsStandardOutput_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("starts");
        QTest::newRow("export") << QStringLiteral("export") << QByteArray("Original CobID,");
        QTest::newRow("map") << QStringLiteral("map") << QByteArray("\x89PNG\r\n");
    }

    void dashIsStandardOutput()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, starts);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString project = prepareProject(dir.path());
        QVERIFY(!project.isEmpty());
        const CliRun::Result toStdout = CliRun::run(outputArgs(command, project, QStringLiteral("-")));
        QVERIFY2(toStdout.exitCode == 0, toStdout.err.constData());
        QVERIFY2(toStdout.rawOut.startsWith(starts), toStdout.rawOut.left(40).constData());
        QVERIFY(toStdout.err.contains("standard output"));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("-"))));

        const QString file = dir.filePath(QStringLiteral("out"));
        const CliRun::Result toFile = CliRun::run(outputArgs(command, project, file));
        QCOMPARE(toFile.exitCode, 0);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), toStdout.rawOut);
    }

    // A standard output that takes nothing (a full disk) fails the command.
    void fullStandardOutputFails_data()
    {
        QTest::addColumn<QStringList>("tail");
        QTest::newRow("export -") << QStringList{QStringLiteral("export"), QStringLiteral("--table"),
                                                 QStringLiteral("0"), QStringLiteral("-")};
        QTest::newRow("map -") << QStringList{QStringLiteral("map"), QStringLiteral("--from"), QStringLiteral("0"),
                                              QStringLiteral("-")};
        QTest::newRow("simulate") << QStringList{QStringLiteral("simulate"), QStringLiteral("--from"),
                                                 QStringLiteral("0"), QStringLiteral("0x181")};
        QTest::newRow("inspect") << QStringList{QStringLiteral("inspect")};
        QTest::newRow("check") << QStringList{QStringLiteral("check")};
    }

    void fullStandardOutputFails()
    {
        if (!QFileInfo::exists(QStringLiteral("/dev/full")))
            QSKIP("no /dev/full here");
        QFETCH(QStringList, tail);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString project = prepareProject(dir.path());
        QVERIFY(!project.isEmpty());
        QStringList args{tail.first()};
        args << (tail.first() == QLatin1String("inspect") ? QDir(project).filePath(QStringLiteral("bin/bank_K60.bin"))
                                                          : project);
        args << tail.mid(1);
        QProcess p;
        p.setStandardOutputFile(QStringLiteral("/dev/full"));
        p.start(TestPaths::cli(), args);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        const QByteArray err = p.readAllStandardError();
        QCOMPARE(p.exitCode(), 2);
        QVERIFY2(err.contains("standard output") && err.contains(qt_error_string(ENOSPC).toLocal8Bit()),
                 err.constData());
    }

    // A document that is a link to nothing is named as such: the build stops and writes nothing.
    void danglingDocumentStopsTheBuild_data()
    {
        QTest::addColumn<QString>("document");
        QTest::newRow("ParGen.xml") << QStringLiteral("ParGen.xml");
        QTest::newRow("CanCanCobID.xml") << QStringLiteral("CanCanCobID.xml");
    }

    void danglingDocumentStopsTheBuild()
    {
#ifdef Q_OS_WIN
        QSKIP("symbolic links need extra rights on Windows");
#endif
        QFETCH(QString, document);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString project = dir.filePath(QStringLiteral("P"));
        QVERIFY(QDir().mkpath(QDir(project).filePath(QStringLiteral("bin"))));
        const QString link = QDir(project).filePath(document);
        QVERIFY(make(Shape::DanglingLink, link));
        const CliRun::Result r = CliRun::run({QStringLiteral("build"), project});
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(QString::fromLocal8Bit(r.err).contains(QDir::toNativeSeparators(link)), r.err.constData());
        QVERIFY(r.err.contains("link"));
        QCOMPARE(QDir(QDir(project).filePath(QStringLiteral("bin"))).entryList(QDir::Files), QStringList());
    }

    // replay -o keeps the save rules: a link to a file is replaced and the file it pointed to
    // stays; a FIFO, a device node (made here, never the system's) and a link to either, as
    // /dev/stdout is one, are refused and left as they are.
    void replayOutputKeepsTheSaveRules_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<bool>("written");
        QTest::newRow("link to a file") << QStringLiteral("link to file") << true;
        QTest::newRow("FIFO") << QStringLiteral("fifo") << false;
        QTest::newRow("link to a FIFO") << QStringLiteral("link to fifo") << false;
        QTest::newRow("device node") << QStringLiteral("device") << false;
        QTest::newRow("link to a device node") << QStringLiteral("link to device") << false;
    }

    void replayOutputKeepsTheSaveRules()
    {
#ifdef Q_OS_WIN
        QSKIP("FIFOs and device nodes are POSIX file-system objects");
#else
        QFETCH(QString, shape);
        QFETCH(bool, written);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString project = prepareProject(dir.path());
        QVERIFY(!project.isEmpty());
        const QString trace = dir.filePath(QStringLiteral("in.log"));
        QVERIFY(CliRun::put(trace, "(1.000000) can0 181#11\n(1.100000) can0 182#22\n"));
        const QString thing = dir.filePath(QStringLiteral("thing"));
        const QByteArray name = QFile::encodeName(thing);
        if (shape.endsWith(QLatin1String("file")))
            QVERIFY(CliRun::put(thing, "theirs"));
        else if (shape.endsWith(QLatin1String("fifo")))
            QCOMPARE(::mkfifo(name.constData(), 0600), 0);
        else if (::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
            QSKIP("making a device node needs the administrator");
        const QString out = shape.startsWith(QLatin1String("link")) ? dir.filePath(QStringLiteral("out.log")) : thing;
        if (out != thing)
            QVERIFY(QFile::link(thing, out));
        struct stat before = {};
        QCOMPARE(::stat(name.constData(), &before), 0);

        const CliRun::Result r = CliRun::run({QStringLiteral("replay"), project, QStringLiteral("--from"),
                                              QStringLiteral("0"), trace, QStringLiteral("-o"), out});
        struct stat after = {};
        QCOMPARE(::stat(name.constData(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_mode, before.st_mode);
        if (written) {
            QVERIFY2(r.exitCode == 0, r.err.constData());
            QVERIFY(!QFileInfo(out).isSymbolicLink());
            QVERIFY(readAll(out).contains("182#22"));
            QCOMPARE(readAll(thing), QByteArray("theirs"));
        } else {
            QCOMPARE(r.exitCode, 2);
            QVERIFY2(r.err.contains(QFile::encodeName(out)), r.err.constData());
            QVERIFY(out == thing || QFileInfo(out).isSymbolicLink());
        }
#endif
    }

    // An output that would replace the command's input or one of the project's own files is
    // refused before anything is read, naming the file, which stays byte for byte.
    void outputOverAnInputOrProjectFileIsRefused_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("output"); // relative to the test folder; P is the project
        QTest::addColumn<QString>("named");  // the file the refusal names
        QTest::newRow("replay over its trace")
            << QStringLiteral("replay") << QStringLiteral("in.log") << QStringLiteral("in.log");
        QTest::newRow("replay over the table document")
            << QStringLiteral("replay") << QStringLiteral("P/CanCanCobID.xml") << QStringLiteral("P/CanCanCobID.xml");
        QTest::newRow("export over the settings document")
            << QStringLiteral("export") << QStringLiteral("P/ParGen.xml") << QStringLiteral("P/ParGen.xml");
        QTest::newRow("export over the lock")
            << QStringLiteral("export") << QStringLiteral("P/.praxedo.lock") << QStringLiteral("P/.praxedo.lock");
        QTest::newRow("map over the image")
            << QStringLiteral("map") << QStringLiteral("P/bin/bank_K60.bin") << QStringLiteral("P/bin/bank_K60.bin");
        QTest::newRow("map over a bank, by another path")
            << QStringLiteral("map") << QStringLiteral("P/bin/../bin/bank3.bin") << QStringLiteral("P/bin/bank3.bin");
        QTest::newRow("export over the merged firmware")
            << QStringLiteral("export") << QStringLiteral("P/New_FX58104.sx") << QStringLiteral("P/New_FX58104.sx");
        QTest::newRow("export over the table through a linked folder")
            << QStringLiteral("export") << QStringLiteral("linked/CanCanCobID.xml")
            << QStringLiteral("P/CanCanCobID.xml");
    }

    void outputOverAnInputOrProjectFileIsRefused()
    {
        QFETCH(QString, command);
        QFETCH(QString, output);
        QFETCH(QString, named);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString project = prepareProject(dir.path());
        QVERIFY(!project.isEmpty());
        const QString trace = dir.filePath(QStringLiteral("in.log"));
        QVERIFY(CliRun::put(trace, "(1.000000) can0 181#11\n"));
        QVERIFY(CliRun::put(dir.filePath(QStringLiteral("P/New_FX58104.sx")), "S9030000FC\n"));
        QVERIFY(CliRun::put(dir.filePath(QStringLiteral("P/.praxedo.lock")), ""));
        if (output.startsWith(QLatin1String("linked/"))) {
#ifdef Q_OS_WIN
            QSKIP("symbolic links need extra rights on Windows");
#endif
            QVERIFY(QFile::link(project, dir.filePath(QStringLiteral("linked"))));
        }
        const QString protectedFile = dir.filePath(named);
        const QByteArray before = readAll(protectedFile);
        QStringList args{command, project};
        if (command == QLatin1String("replay"))
            args << QStringLiteral("--from") << QStringLiteral("0") << trace << QStringLiteral("-o")
                 << dir.filePath(output);
        else
            args = outputArgs(command, project, dir.filePath(output));

        const CliRun::Result r = CliRun::run(args);
        QCOMPARE(r.exitCode, 2);
        const QString message = QString::fromLocal8Bit(r.err);
        QVERIFY2(message.contains(QFileInfo(named).fileName()), qPrintable(message));
        QCOMPARE(readAll(protectedFile), before);
        for (const QString &entry :
             QDir(QFileInfo(protectedFile).absolutePath()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot))
            QVERIFY2(!entry.endsWith(QLatin1String(".new")), qPrintable(entry));
    }

    // A write that fails half-way names the output and the system's error, and leaves the
    // file that was there.
    void replayWriteErrorNamesTheOutput()
    {
#ifdef Q_OS_WIN
        QSKIP("a file size limit is set with the POSIX shell");
#else
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString project = prepareProject(dir.path());
        QVERIFY(!project.isEmpty());
        const QString trace = dir.filePath(QStringLiteral("in.log"));
        QByteArray lines;
        for (int i = 0; i < 2000; ++i)
            lines += "(1.000000) can0 182#1122334455667788\n";
        QVERIFY(CliRun::put(trace, lines));
        const QString out = dir.filePath(QStringLiteral("out.log"));
        QVERIFY(CliRun::put(out, "old"));
        QProcess p;
        // 8 KiB at most per file, and the signal ignored so that the write fails with EFBIG.
        p.start(QStringLiteral("/bin/sh"),
                {QStringLiteral("-c"), QStringLiteral("ulimit -f 16; trap '' XFSZ; exec \"$@\""), QStringLiteral("sh"),
                 TestPaths::cli(), QStringLiteral("replay"), project, QStringLiteral("--from"), QStringLiteral("0"),
                 trace, QStringLiteral("-o"), out});
        QVERIFY(p.waitForFinished(60000));
        const QByteArray err = p.readAllStandardError();
        QCOMPARE(p.exitCode(), 2);
        QVERIFY2(err.contains(QFile::encodeName(out)) && err.contains(qt_error_string(EFBIG).toLocal8Bit()),
                 err.constData());
        QCOMPARE(readAll(out), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral(".out.log*")}, QDir::Files | QDir::Hidden), QStringList());
#endif
    }

private:
    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
    }

    // A project with a row in each table, built.
    static QString prepareProject(const QString &dir)
    {
        const QString project = QDir(dir).filePath(QStringLiteral("P"));
        const QString csv = QDir(dir).filePath(QStringLiteral("rows.csv"));
        if (!QDir().mkpath(QDir(project).filePath(QStringLiteral("bin")))
            || !CliRun::put(csv,
                            "Original CobID,Type CobID,Modify CobID,Type CobID,Mnemonic\n"
                            "0x181,2.0A 11bits,0x281,2.0A 11bits,Speed\n"))
            return QString();
        const CliRun::Result import =
            CliRun::run({QStringLiteral("import"), project, QStringLiteral("--table"), QStringLiteral("0"), csv});
        const CliRun::Result build = CliRun::run({QStringLiteral("build"), project});
        QFile::remove(csv);
        return import.exitCode == 0 && build.exitCode == 0 ? project : QString();
    }

    static QStringList outputArgs(const QString &command, const QString &project, const QString &out)
    {
        const QString option =
            command == QLatin1String("export") ? QStringLiteral("--table") : QStringLiteral("--from");
        return {command, project, option, QStringLiteral("0"), out};
    }
};

QTEST_GUILESS_MAIN(TestSpecialFiles)
#include "tst_specialfiles.moc"
