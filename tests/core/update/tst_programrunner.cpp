#include "core/update/ProgramRunner.h"

#include "core/StandInTools.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;

class TestProgramRunner : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void waitsForAProgramThatEnds_data();
    void waitsForAProgramThatEnds();
    void leavesALongProgramRunningPastTheLimit();
    void missingProgramIsNotStarted();
};

void TestProgramRunner::waitsForAProgramThatEnds_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("parameter");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("no parameters") << QString() << QString() << QStringList();
    QTest::newRow("one") << QString() << QStringLiteral("alpha") << QStringList{QStringLiteral("alpha")};
    QTest::newRow("quoted with a blank") << QString() << QStringLiteral("alpha \"b c\"")
                                         << QStringList{QStringLiteral("alpha"), QStringLiteral("b c")};
    // Users keep the workspace in folders such as "My Tools".
    QTest::newRow("blank in the program's folder")
        << QStringLiteral("My Tools") << QStringLiteral("alpha") << QStringList{QStringLiteral("alpha")};
}

void TestProgramRunner::waitsForAProgramThatEnds()
{
    QFETCH(QString, folder);
    QFETCH(QString, parameter);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath(folder.isEmpty() ? QStringLiteral(".") : folder));
    const QString program =
        StandInTools::copy(QStringLiteral("record_run"), dir.filePath(folder), QStringLiteral("Lanvesk.exe"));
    QVERIFY(!program.isEmpty());

    SystemProgramRunner runner;
    QCOMPARE(runner.Start_Program(program, parameter, false), ProgramRunner::Outcome::Ended);

    // It has finished, so what it recorded is complete.
    bool ran = false;
    QCOMPARE(StandInTools::recordedArguments(program, &ran), expected);
    QVERIFY(ran);
}

void TestProgramRunner::leavesALongProgramRunningPastTheLimit()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString program = StandInTools::copy(QStringLiteral("wait_for_stop"), dir.path(), QStringLiteral("tool.exe"));
    QVERIFY(!program.isEmpty());
    const QString stop = program + QStringLiteral(".stop");
    const QString done = program + QStringLiteral(".done");
    auto cleanup = qScopeGuard([&] {
        QFile file(stop);
        if (file.open(QIODevice::WriteOnly))
            file.close();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(done), 30000);
    });

    SystemProgramRunner runner(200ms);
    QCOMPARE(runner.Start_Program(program, QString(), true), ProgramRunner::Outcome::LimitPassed);
    QVERIFY(!QFile::exists(done));

    // Still alive after the runner gave up: it notices a stop file written only now.
    cleanup.dismiss();
    QFile file(stop);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(done), 30000);
    QVERIFY(QFile::exists(program + QStringLiteral(".started")));
}

void TestProgramRunner::missingProgramIsNotStarted()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SystemProgramRunner runner;
    QCOMPARE(runner.Start_Program(dir.filePath(QStringLiteral("Lanvesk.exe")), QString(), false),
             ProgramRunner::Outcome::NotStarted);
}

QTEST_GUILESS_MAIN(TestProgramRunner)
#include "tst_programrunner.moc"
