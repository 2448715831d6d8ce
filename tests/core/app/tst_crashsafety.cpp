// A user file is never left half written: a child process saves each kind of file through the
// program's own code in a loop and is killed at random moments; every file on disk must then
// be exactly the complete old version or the complete new one.
#include "TestPaths.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <optional>

namespace {

constexpr int kKills = 30;
constexpr qint64 kTimeBoundMs = 60000;

using Tree = QMap<QString, QByteArray>; // relative path -> bytes

Tree readTree(const QString &dir)
{
    Tree tree;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            tree.insert(QDir(dir).relativeFilePath(path), f.readAll());
    }
    return tree;
}

bool runOnce(const QString &kind, const QString &dir, const QString &variant, QString *output)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(TestPaths::tool(QStringLiteral("save_loop")), {kind, dir, QStringLiteral("once"), variant});
    const bool ok = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    *output = QString::fromLocal8Bit(p.readAll());
    return ok;
}

} // namespace

class TestCrashSafety : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedWhileSaving_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("mainFile");
        QTest::newRow("settings") << QStringLiteral("settings") << QStringLiteral("Praxedo.xml");
        QTest::newRow("ParGen.xml") << QStringLiteral("pargen") << QStringLiteral("ParGen.xml");
        QTest::newRow("CanCanCobID.xml") << QStringLiteral("cobid") << QStringLiteral("CanCanCobID.xml");
        QTest::newRow("table export") << QStringLiteral("csv") << QStringLiteral("table.csv");
        QTest::newRow("job file") << QStringLiteral("job") << QStringLiteral("Lanvesk.xml");
        QTest::newRow("image outputs") << QStringLiteral("image") << QStringLiteral("PROJECTS/P/bin/bank_K60.bin");
        QTest::newRow("new firmware") << QStringLiteral("firmware") << QStringLiteral("PROJECTS/P/New_FX58104.sx");
    }

    void killedWhileSaving()
    {
        QFETCH(QString, kind);
        QFETCH(QString, mainFile);

        QTemporaryDir work;
        QVERIFY(work.isValid());
        QString output;
        QVERIFY2(runOnce(kind, work.path(), QStringLiteral("A"), &output), qPrintable(output));
        const Tree a = readTree(work.path());
        QVERIFY2(runOnce(kind, work.path(), QStringLiteral("B"), &output), qPrintable(output));
        const Tree b = readTree(work.path());
        QVERIFY2(runOnce(kind, work.path(), QStringLiteral("A"), &output), qPrintable(output));
        QCOMPARE(readTree(work.path()), a);
        QVERIFY(a.contains(mainFile));
        QVERIFY(a.value(mainFile) != b.value(mainFile));

        QStringList files = a.keys();
        for (auto it = b.keyBegin(); it != b.keyEnd(); ++it) {
            if (!a.contains(*it))
                files.append(*it);
        }

        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        QElapsedTimer elapsed;
        elapsed.start();
        int kills = 0;
        for (; kills < kKills && elapsed.elapsed() < kTimeBoundMs; ++kills) {
            QProcess child;
            child.start(TestPaths::tool(QStringLiteral("save_loop")), {kind, work.path(), QStringLiteral("loop")});
            QVERIFY2(child.waitForReadyRead(60000), qPrintable(QString::fromLocal8Bit(child.readAllStandardError())));
            QThread::usleep(random.bounded(30000));
            child.kill();
            QVERIFY(child.waitForFinished(60000));
            QCOMPARE(child.exitStatus(), QProcess::CrashExit); // killed while still saving

            const Tree now = readTree(work.path());
            for (const QString &file : files) {
                const std::optional<QByteArray> left =
                    now.contains(file) ? std::optional<QByteArray>(now.value(file)) : std::nullopt;
                const std::optional<QByteArray> oldOne =
                    a.contains(file) ? std::optional<QByteArray>(a.value(file)) : std::nullopt;
                const std::optional<QByteArray> newOne =
                    b.contains(file) ? std::optional<QByteArray>(b.value(file)) : std::nullopt;
                QVERIFY2(left == oldOne || left == newOne,
                         qPrintable(QStringLiteral("%1 after kill %2 (seed %3) is neither version: %4 bytes")
                                        .arg(file)
                                        .arg(kills + 1)
                                        .arg(seed)
                                        .arg(left ? left->size() : -1)));
            }
        }
        QVERIFY(kills > 0);

        // The next save clears the temporaries the killed ones left.
        QVERIFY2(runOnce(kind, work.path(), QStringLiteral("A"), &output), qPrintable(output));
        const Tree after = readTree(work.path());
        for (auto it = after.keyBegin(); it != after.keyEnd(); ++it)
            QVERIFY2(!it->endsWith(QLatin1String(".new")), qPrintable(*it));
        for (auto it = a.cbegin(); it != a.cend(); ++it)
            QCOMPARE(after.value(it.key()), it.value());
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
