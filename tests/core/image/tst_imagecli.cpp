#include "TestPaths.h"
#include "CliRun.h"
#include "core/ImageDocs.h"
#include "core/image/ConfigBuilder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using ImageDocs::Row;

namespace {
struct Run
{
    int code = -1;
    QByteArray out;
    QByteArray err;
};

Run cli(const QStringList &args)
{
    QProcess p;
    p.start(TestPaths::cli(), args);
    Run r;
    if (!p.waitForFinished(60000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = CliRun::text(p.readAllStandardOutput());
    r.err = CliRun::text(p.readAllStandardError());
    return r;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestImageCli : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void buildWritesTheSevenFiles();
    void buildErrorIsTheConfiguratorsMessage();
    void usageErrors_data();
    void usageErrors();
    void buildOfAMissingFolderFails();
    void inspect();
    void inspectRejectsBadFiles();
    void helpListsTheCommands();
};

void TestImageCli::buildWritesTheSevenFiles()
{
    QTemporaryDir project;
    const QDir golden(TestPaths::data(QStringLiteral("image/list-ethernet")));
    for (const QString &doc : {QStringLiteral("ParGen.xml"), QStringLiteral("CanCanCobID.xml")})
        QVERIFY(QFile::copy(golden.filePath(doc), project.filePath(doc)));
    const Run r = cli({QStringLiteral("build"), project.path()});
    QCOMPARE(r.code, 0);
    QVERIFY(r.err.isEmpty());
    const QStringList files = QDir(golden.filePath(QStringLiteral("expected"))).entryList(QDir::Files);
    QCOMPARE(files.size(), 7);
    for (const QString &file : files)
        QVERIFY2(readAll(project.filePath(QStringLiteral("bin/") + file)) == readAll(golden.filePath(QStringLiteral("expected/") + file)),
                 qPrintable(file));
}

void TestImageCli::buildErrorIsTheConfiguratorsMessage()
{
    QTemporaryDir project;
    const QString parGen = project.filePath(QStringLiteral("ParGen.xml"));
    const QString cobId = project.filePath(QStringLiteral("CanCanCobID.xml"));
    writeFile(parGen, ImageDocs::parGen());
    writeFile(cobId, ImageDocs::cobId({Row("0x100")}, {Row("0x1O0")}));

    ConfigBuilder builder;
    const QString expected = builder.Build_Config(parGen, cobId);
    QVERIFY(expected.contains(QLatin1String("'0x1O0'")));

    const Run r = cli({QStringLiteral("build"), project.path()});
    QCOMPARE(r.code, 2);
    QCOMPARE(QString::fromUtf8(r.err), expected + QLatin1Char('\n'));
    QVERIFY(!QFileInfo::exists(project.filePath(QStringLiteral("bin"))));
}

void TestImageCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("build without folder") << QStringList{QStringLiteral("build")};
    QTest::newRow("build with two folders") << QStringList{QStringLiteral("build"), QStringLiteral("a"), QStringLiteral("b")};
    QTest::newRow("build with an option") << QStringList{QStringLiteral("build"), QStringLiteral("--force")};
    QTest::newRow("inspect without file") << QStringList{QStringLiteral("inspect")};
    QTest::newRow("unknown command") << QStringList{QStringLiteral("bulid"), QStringLiteral(".")};
    QTest::newRow("no command") << QStringList{};
}

void TestImageCli::usageErrors()
{
    QFETCH(QStringList, args);
    const Run r = cli(args);
    QCOMPARE(r.code, 1);
    QVERIFY(r.out.isEmpty());
    QVERIFY(r.err.contains("praxedo-cli"));
}

void TestImageCli::buildOfAMissingFolderFails()
{
    QTemporaryDir base;
    const QString missing = base.filePath(QStringLiteral("no-such-project"));
    const Run r = cli({QStringLiteral("build"), missing});
    QCOMPARE(r.code, 2);
    QVERIFY(r.err.contains("is not a folder"));
    QVERIFY(!QFileInfo::exists(missing));
}

void TestImageCli::inspect()
{
    const QDir expected(TestPaths::data(QStringLiteral("image/map-positive/expected")));
    Run r = cli({QStringLiteral("inspect"), expected.filePath(QStringLiteral("bank_K60.bin"))});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.startsWith("bank_K60.bin: configuration image, 34816 bytes\n"));
    QVERIFY(r.out.contains("(verified)"));
    QVERIFY(r.out.contains("     2  0x123 (11-bit)         -> 0x124 (11-bit)\n"));

    r = cli({QStringLiteral("inspect"), expected.filePath(QStringLiteral("bank1.bin"))});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.contains("  0x123 -> 0x124  passes\n"));
    QVERIFY(r.out.contains("  passing: 0x005, 0x123, 0x181, 0x7FF\n"));
}

void TestImageCli::inspectRejectsBadFiles()
{
    QTemporaryDir dir;
    const QString odd = dir.filePath(QStringLiteral("odd.bin"));
    writeFile(odd, QByteArray(100, 'x'));
    Run r = cli({QStringLiteral("inspect"), odd});
    QCOMPARE(r.code, 2);
    QVERIFY(r.err.contains("odd.bin has 100 bytes"));

    QByteArray image = readAll(TestPaths::data(QStringLiteral("image/defaults/expected/bank_K60.bin")));
    image[0x8000 + 0x7FC] = char(0x78);
    const QString bad = dir.filePath(QStringLiteral("bank_K60.bin"));
    writeFile(bad, image);
    r = cli({QStringLiteral("inspect"), bad});
    QCOMPARE(r.code, 2);
    QCOMPARE(r.err, QByteArray("bank_K60.bin: bad checksum: stored 0x00000C78, the bytes sum to 0x00000C79\n"));
    QVERIFY(r.out.contains("Parameter block"));

    r = cli({QStringLiteral("inspect"), dir.filePath(QStringLiteral("missing.bin"))});
    QCOMPARE(r.code, 2);
    QVERIFY(r.err.contains("missing.bin"));
}

void TestImageCli::helpListsTheCommands()
{
    const Run r = cli({QStringLiteral("--help")});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.contains("  build PROJECT_DIR\n"));
    QVERIFY(r.out.contains("  inspect FILE\n"));
}

QTEST_GUILESS_MAIN(TestImageCli)
#include "tst_imagecli.moc"
