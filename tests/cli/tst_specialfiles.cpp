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

private:
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
