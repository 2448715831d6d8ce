#include "core/update/JobFile.h"

#include "core/app/AppState.h"
#include "core/base/FileIo.h"
#include "core/base/XmlFile.h"

#include "TestPaths.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestJobFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void matchesTheToolsFormat_data();
    void matchesTheToolsFormat();
    void addressIsWrittenAsTyped();
    void rewrittenWholeOnEveryUpdate();
    void unwritableFolderIsReported();
    void unstorableTextIsRefused_data();
    void unstorableTextIsRefused();
};

namespace {
JobFile::Job sampleJob(int option, bool readBack, const QString &dirExe = QStringLiteral("/ws"))
{
    JobFile::Job job;
    job.ipFields =
        QStringList{QStringLiteral("192"), QStringLiteral("168"), QStringLiteral("2"), QStringLiteral("205")};
    job.option = option;
    job.readBack = readBack;
    job.dirExe = dirExe;
    job.dirMaster = joinPath(dirExe, QStringLiteral("MASTER"));
    job.dirProject = joinPath(joinPath(dirExe, QStringLiteral("PROJECTS")), QStringLiteral("Line 4"));
    return job;
}

// The expected file, with the workspace paths of `job` put in, in our writer's form.
QByteArray expectedBytes(const QString &fixture, const JobFile::Job &job)
{
    QByteArray text;
    if (!FileIo::readFile(TestPaths::data(QStringLiteral("update/") + fixture), text).isEmpty())
        return QByteArray();
    text.replace("@FIRMWARE@", joinPath(job.dirMaster, QStringLiteral("Rom58104K.sim")).toUtf8());
    text.replace("@CONFIGURATION@",
                 QDir::toNativeSeparators(job.dirProject + QStringLiteral("/bin/bank_K60.bin")).toUtf8());
    QDomDocument doc;
    if (!XmlFile::parse(text, fixture, doc).isEmpty())
        return QByteArray();
    return XmlFile::bytes(doc);
}
} // namespace

void TestJobFile::matchesTheToolsFormat_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<bool>("readBack");
    QTest::addColumn<QString>("fixture");

    QTest::newRow("firmware + configuration, read back")
        << 0 << true << QStringLiteral("job-firmware-configuration-readback.xml");
    QTest::newRow("firmware, no read back") << 1 << false << QStringLiteral("job-firmware-no-readback.xml");
    QTest::newRow("configuration, read back") << 2 << true << QStringLiteral("job-configuration-readback.xml");
}

void TestJobFile::matchesTheToolsFormat()
{
    QFETCH(int, option);
    QFETCH(bool, readBack);
    QFETCH(QString, fixture);

    const JobFile::Job job = sampleJob(option, readBack);
    const QByteArray expected = expectedBytes(fixture, job);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(JobFile::bytes(job), expected);

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QCOMPARE(JobFile::write(buffer, job), QString());
    QCOMPARE(buffer.data(), expected);
}

void TestJobFile::addressIsWrittenAsTyped()
{
    JobFile::Job job = sampleJob(0, true);
    job.ipFields = QStringList{QStringLiteral(" 192"), QStringLiteral("168 "), QStringLiteral("x"), QString()};
    const QDomDocument doc = JobFile::build(job);
    QCOMPARE(XmlFile::childText(XmlFile::firstTopLevelNode(doc), QStringLiteral("IP_Address_Dev")),
             QStringLiteral(" 192.168 .x."));
}

void TestJobFile::rewrittenWholeOnEveryUpdate()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = JobFile::path(dir.path());
    QCOMPARE(QDir::cleanPath(path), QDir::cleanPath(dir.filePath(QStringLiteral("Lanvesk.xml"))));

    QCOMPARE(JobFile::Compile_XML_Parameter(sampleJob(0, true, dir.path())), QString());
    const JobFile::Job second = sampleJob(2, false, dir.path());
    QCOMPARE(JobFile::Compile_XML_Parameter(second), QString());

    QByteArray onDisk;
    QCOMPARE(FileIo::readFile(path, onDisk), QString());
    QCOMPARE(onDisk, JobFile::bytes(second));
    QDomDocument doc;
    QCOMPARE(XmlFile::parse(onDisk, path, doc), QString());
    QCOMPARE(doc.elementsByTagName(QStringLiteral("Operation")).count(), 1);
}

void TestJobFile::unwritableFolderIsReported()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("gone"));
    const QString error = JobFile::Compile_XML_Parameter(sampleJob(0, true, missing));
    QVERIFY(error.contains(QStringLiteral("Lanvesk.xml")));
    QVERIFY(!QFile::exists(JobFile::path(missing)));
}

// The tool could not read a job holding a control character, or would look for another file:
// the job is refused with a message and the old file stays.
void TestJobFile::unstorableTextIsRefused_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("reason");
    QTest::newRow("address") << 0 << QStringLiteral("the device address holds a control character");
    QTest::newRow("project folder") << 1 << QStringLiteral("the folder %1 holds a control character in its name");
}

void TestJobFile::unstorableTextIsRefused()
{
    QFETCH(int, field);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    JobFile::Job job = sampleJob(0, true, dir.path());
    QVERIFY(JobFile::Compile_XML_Parameter(job).isEmpty());
    const QByteArray before = JobFile::bytes(job);
    if (field == 0)
        job.ipFields[3] = QStringLiteral("20\x02"
                                         "5");
    else
        job.dirProject += QStringLiteral("\x07");
    if (reason.contains(QLatin1String("%1")))
        reason = reason.arg(QDir::toNativeSeparators(job.dirProject.chopped(1)));
    QCOMPARE(JobFile::Compile_XML_Parameter(job),
             QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(JobFile::path(dir.path())), reason));
    QByteArray onDisk;
    QCOMPARE(FileIo::readFile(JobFile::path(dir.path()), onDisk), QString());
    QCOMPARE(onDisk, before);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QCOMPARE(JobFile::write(buffer, job), QStringLiteral("Cannot write Lanvesk.xml: %1").arg(reason));
}

QTEST_GUILESS_MAIN(TestJobFile)
#include "tst_jobfile.moc"
