// praxedo-cli build and inspect, and the program's help and usage, where more than the printed
// text is checked or the text depends on the build or the system; their printed texts are golden
// cases under tests/data/cli (build-*, inspect-*).
#include "CliRun.h"
#include "TestPaths.h"
#include "core/ImageDocs.h"
#include "core/image/ConfigBuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using CliRun::put;
using ImageDocs::Row;

namespace {
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestImageCommands : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void buildErrorIsTheConfiguratorsMessage();
    void usageErrors_data();
    void usageErrors();
    void inspectRejectsBadFiles();
    void helpListsTheCommands();
};

void TestImageCommands::buildErrorIsTheConfiguratorsMessage()
{
    QTemporaryDir project;
    const QString parGen = project.filePath(QStringLiteral("ParGen.xml"));
    const QString cobId = project.filePath(QStringLiteral("CanCanCobID.xml"));
    QVERIFY(put(parGen, ImageDocs::parGen()));
    QVERIFY(put(cobId, ImageDocs::cobId({Row("0x100")}, {Row("0x1O0")})));

    ConfigBuilder builder;
    const QString expected = builder.Build_Config(parGen, cobId);
    QVERIFY(expected.contains(QLatin1String("'0x1O0'")));

    const CliRun::Result r = CliRun::run({QStringLiteral("build"), project.path()});
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(QString::fromUtf8(r.err), expected + QLatin1Char('\n'));
    QVERIFY(!QFileInfo::exists(project.filePath(QStringLiteral("bin"))));
}

// The help printed on a usage error lists verify and emulate as this build offers them: the
// other usage errors are golden cases.
void TestImageCommands::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("unknown command") << QStringList{QStringLiteral("bulid"), QStringLiteral(".")};
    QTest::newRow("no command") << QStringList{};
}

void TestImageCommands::usageErrors()
{
    QFETCH(QStringList, args);
    const CliRun::Result r = CliRun::run(args);
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.out.isEmpty());
    QVERIFY(r.err.contains("praxedo-cli"));
}

// A damaged copy of a fixture image, and a missing file whose reason is the system's words.
void TestImageCommands::inspectRejectsBadFiles()
{
    QTemporaryDir dir;
    QByteArray image = readAll(TestPaths::data(QStringLiteral("image/defaults/expected/bank_K60.bin")));
    image[0x8000 + 0x7FC] = char(0x78);
    const QString bad = dir.filePath(QStringLiteral("bank_K60.bin"));
    QVERIFY(put(bad, image));
    CliRun::Result r = CliRun::run({QStringLiteral("inspect"), bad});
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(r.err, QByteArray("bank_K60.bin: bad checksum: stored 0x00000C78, the bytes sum to 0x00000C79\n"));
    QVERIFY(r.out.contains("Parameter block"));

    r = CliRun::run({QStringLiteral("inspect"), dir.filePath(QStringLiteral("missing.bin"))});
    QCOMPARE(r.exitCode, 2);
    QVERIFY(r.err.contains("missing.bin"));
}

void TestImageCommands::helpListsTheCommands()
{
    const CliRun::Result r = CliRun::run({QStringLiteral("--help")});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.contains("  build PROJECT_DIR\n"));
    QVERIFY(r.out.contains("  inspect FILE\n"));
}

QTEST_GUILESS_MAIN(TestImageCommands)
#include "tst_imagecommands.moc"
