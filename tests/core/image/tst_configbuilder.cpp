#include "TestPaths.h"
#include "core/ImageDocs.h"
#include "core/app/AppState.h"
#include "core/image/ConfigBuilder.h"
#include "core/image/FilterDocument.h"
#include "core/image/ProjectBuild.h"
#include "core/image/XmlSource.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using ImageDocs::Ext;
using ImageDocs::Row;

namespace {
const QStringList &outputs()
{
    static const QStringList names = {
        QStringLiteral("bank1.bin"),    QStringLiteral("bank2.bin"), QStringLiteral("bank3.bin"),
        QStringLiteral("bank4.bin"),    QStringLiteral("bank5.bin"), QStringLiteral("bankg.c"),
        QStringLiteral("bank_K60.bin"),
    };
    return names;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// A project folder holding the given documents (an empty text leaves the file out).
struct Project
{
    QTemporaryDir dir;
    QString parGen() const { return dir.filePath(QStringLiteral("ParGen.xml")); }
    QString cobId() const { return dir.filePath(QStringLiteral("CanCanCobID.xml")); }
    QString bin() const { return dir.filePath(QStringLiteral("bin")); }
    QString out(const QString &name) const { return QDir(bin()).filePath(name); }
};
} // namespace

class TestConfigBuilder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void goldenProjects_data();
    void goldenProjects();
    void failedBuildWritesNothing();
    void unwritableOutputNamesTheFile_data();
    void unwritableOutputNamesTheFile();
    void failedBuildKeepsTheKeptValues();
    void processBuilderFollowsTheProject();
};

void TestConfigBuilder::goldenProjects_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("11-bit map, positive") << QStringLiteral("map-positive");
    QTest::newRow("29-bit list, Ethernet") << QStringLiteral("list-ethernet");
    QTest::newRow("no documents") << QStringLiteral("defaults");
}

void TestConfigBuilder::goldenProjects()
{
    QFETCH(QString, name);
    const QDir source(TestPaths::data(QStringLiteral("image/") + name));
    QVERIFY(source.exists());
    Project project;
    for (const QString &doc : {QStringLiteral("ParGen.xml"), QStringLiteral("CanCanCobID.xml")}) {
        if (source.exists(doc))
            QVERIFY(QFile::copy(source.filePath(doc), project.dir.filePath(doc)));
    }
    ConfigBuilder builder;
    const QString error = builder.buildAndWrite(project.parGen(), project.cobId(), project.bin());
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(QDir(project.bin()).entryList(QDir::Files, QDir::Name).size(), outputs().size());
    for (const QString &file : outputs()) {
        const QByteArray expected = readAll(source.filePath(QStringLiteral("expected/") + file));
        QVERIFY2(!expected.isEmpty(), qPrintable(file));
        QVERIFY2(readAll(project.out(file)) == expected, qPrintable(file + QStringLiteral(" differs")));
    }
}

void TestConfigBuilder::failedBuildWritesNothing()
{
    Project project;
    QVERIFY(QDir().mkpath(project.bin()));
    for (const QString &file : outputs())
        writeFile(project.out(file), "old " + file.toLatin1());
    writeFile(project.parGen(), ImageDocs::parGen({{"Boud0", "fast"}}));
    writeFile(project.cobId(), ImageDocs::cobId({Row("1")}));

    ConfigBuilder builder;
    const QString error = builder.buildAndWrite(project.parGen(), project.cobId(), project.bin());
    QVERIFY(error.contains(QLatin1String("'fast'")));
    QVERIFY(error.contains(QDir::toNativeSeparators(project.parGen())));
    for (const QString &file : outputs())
        QCOMPARE(readAll(project.out(file)), "old " + file.toLatin1());
    QCOMPARE(QDir(project.bin()).entryList(QDir::Files).size(), outputs().size());

    // Nor does a failure of the image's own reader (a comment before the filter root).
    writeFile(project.parGen(), ImageDocs::parGen());
    writeFile(project.cobId(), "<!--x-->" + ImageDocs::cobId({Row("1")}));
    QVERIFY(!builder.buildAndWrite(project.parGen(), project.cobId(), project.bin()).isEmpty());
    for (const QString &file : outputs())
        QCOMPARE(readAll(project.out(file)), "old " + file.toLatin1());
}

void TestConfigBuilder::unwritableOutputNamesTheFile_data()
{
    QTest::addColumn<QString>("blocked");
    QTest::addColumn<bool>("binIsFile");
    QTest::newRow("bin is a file") << QStringLiteral("bin") << true;
    QTest::newRow("first bank") << QStringLiteral("bank1.bin") << false;
    QTest::newRow("third bank") << QStringLiteral("bank3.bin") << false;
    QTest::newRow("C source") << QStringLiteral("bankg.c") << false;
    QTest::newRow("image") << QStringLiteral("bank_K60.bin") << false;
}

void TestConfigBuilder::unwritableOutputNamesTheFile()
{
    QFETCH(QString, blocked);
    QFETCH(bool, binIsFile);
    Project project;
    if (binIsFile) {
        writeFile(project.bin(), "not a folder");
    } else {
        QVERIFY(QDir().mkpath(project.bin()));
        for (const QString &file : outputs())
            writeFile(project.out(file), "old " + file.toLatin1());
        // A folder where the file should go cannot be replaced by it, even by root.
        QVERIFY(QFile::remove(project.out(blocked)));
        QVERIFY(QDir().mkpath(QDir(project.out(blocked)).filePath(QStringLiteral("keep"))));
    }
    ConfigBuilder builder;
    const QString error = builder.buildAndWrite(project.parGen(), project.cobId(), project.bin());
    QVERIFY2(error.contains(QDir::toNativeSeparators(binIsFile ? project.bin() : project.out(blocked))),
             qPrintable(error));
    if (binIsFile)
        return;
    // The folder in the way is left as it was, and no other output was replaced: the bin
    // folder never holds a mix of old and new files.
    QVERIFY(QFileInfo(project.out(blocked)).isDir());
    for (const QString &file : outputs()) {
        if (file != blocked)
            QCOMPARE(readAll(project.out(file)), "old " + file.toLatin1());
    }
    QCOMPARE(QDir(project.bin()).entryList(QDir::Files).size(), outputs().size() - 1);
    QVERIFY(QFile::exists(QDir(project.out(blocked)).filePath(QStringLiteral("keep"))));
}

void TestConfigBuilder::failedBuildKeepsTheKeptValues()
{
    ConfigBuilder builder;
    const auto parGen = [](const ImageDocs::Values &set) {
        return XmlSource::fromBytes(ImageDocs::parGen(set), QStringLiteral("ParGen.xml"));
    };
    const FilterDocument goodCob =
        FilterDocument::fromBytes(ImageDocs::cobId({Row("0x10", "", Ext)}), QStringLiteral("c"));
    QVERIFY(builder.Build_Config(parGen({{"Boud0", "2"}, {"Type", "1"}}), goodCob).isEmpty());

    // Settings and frame types read in full, then a bad filter document stops the build.
    const FilterDocument badCob = FilterDocument::fromBytes(ImageDocs::cobId({Row("zz")}), QStringLiteral("c"));
    QVERIFY(!builder.Build_Config(parGen({{"Boud0", "7"}, {"Type", "0"}}), badCob).isEmpty());
    // Banks built, then the image's reader fails (it takes the first top-level node as root).
    const FilterDocument commentFirst =
        FilterDocument::fromBytes("<!--x-->" + ImageDocs::cobId({Row("1")}), QStringLiteral("c"));
    QVERIFY(!builder.Build_Config(parGen({{"Boud0", "6"}, {"Type", "0"}}), commentFirst).isEmpty());

    // A later build without ParGen.xml uses what the last good build read.
    QVERIFY(builder.Build_Config(XmlSource(), goodCob).isEmpty());
    QCOMPARE(builder.banks().bank(1).mid(16100, 6), QByteArray::fromHex("03 09 01 00 00 00"));
    QCOMPARE(builder.image().portTypes().Type_CAN0, 1u);
    QCOMPARE(builder.image().image().left(4), QByteArray::fromHex("10 00 00 80"));
}

void TestConfigBuilder::processBuilderFollowsTheProject()
{
    Project project;
    AppState state;
    QVERIFY(!ProjectBuild::buildAndWrite(state).isEmpty());

    state.Dir_Project = project.dir.path();
    Set_Files(state);
    writeFile(state.File_ParGen, ImageDocs::parGen({{"Positive", "1"}}));
    QVERIFY(ProjectBuild::buildAndWrite(state).isEmpty());
    for (const QString &file : outputs())
        QVERIFY(QFile::exists(project.out(file)));
    QCOMPARE(readAll(project.out(QStringLiteral("bank1.bin"))), configBuilder().banks().bank(1));
    QCOMPARE(readAll(project.out(QStringLiteral("bank_K60.bin"))).size(), 34816);
}

QTEST_GUILESS_MAIN(TestConfigBuilder)
#include "tst_configbuilder.moc"
