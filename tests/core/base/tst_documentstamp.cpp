// What an editor read of its document against what is on disk when it saves.
#include "core/base/DocumentStamp.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class TestDocumentStamp : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void laterDiskStateAgainstWhatWasRead_data();
    void laterDiskStateAgainstWhatWasRead();
    void savedBytesAreTheNewReference();
    void unreadableFileLeavesTheStampAsItWas();
    void stampNeverTakenReportsNoChange();
};

void TestDocumentStamp::laterDiskStateAgainstWhatWasRead_data()
{
    QTest::addColumn<bool>("readPresent");
    QTest::addColumn<QByteArray>("readBytes");
    QTest::addColumn<QString>("later"); // "absent", "folder" or "bytes"
    QTest::addColumn<QByteArray>("laterBytes");
    QTest::addColumn<bool>("changed");

    const QByteArray doc = "<Par_Gen><Boud0>8</Boud0></Par_Gen>";
    QTest::newRow("same bytes written again") << true << doc << "bytes" << doc << false;
    QTest::newRow("same size, one byte differs") << true << doc << "bytes" << QByteArray(doc).replace('8', '3') << true;
    QTest::newRow("longer") << true << doc << "bytes" << doc + "\n" << true;
    QTest::newRow("emptied") << true << doc << "bytes" << QByteArray() << true;
    QTest::newRow("removed") << true << doc << "absent" << QByteArray() << true;
    QTest::newRow("folder in its place") << true << doc << "folder" << QByteArray() << true;
    QTest::newRow("empty file kept") << true << QByteArray() << "bytes" << QByteArray() << false;
    QTest::newRow("still absent") << false << QByteArray() << "absent" << QByteArray() << false;
    QTest::newRow("created meanwhile") << false << QByteArray() << "bytes" << doc << true;
    QTest::newRow("created empty meanwhile") << false << QByteArray() << "bytes" << QByteArray() << true;
    QTest::newRow("folder where there was none") << false << QByteArray() << "folder" << QByteArray() << false;
}

void TestDocumentStamp::laterDiskStateAgainstWhatWasRead()
{
    QFETCH(bool, readPresent);
    QFETCH(QByteArray, readBytes);
    QFETCH(QString, later);
    QFETCH(QByteArray, laterBytes);
    QFETCH(bool, changed);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ParGen.xml"));
    if (readPresent)
        QVERIFY(put(path, readBytes));
    DocumentStamp stamp;
    QByteArray bytes("left over");
    QCOMPARE(stamp.read(path, bytes, 1024), QString());
    QCOMPARE(bytes, readBytes);
    QCOMPARE(stamp.isAbsent(), !readPresent);
    QVERIFY(!stamp.changedOnDisk(path));

    QFile::remove(path);
    if (later == QLatin1String("bytes"))
        QVERIFY(put(path, laterBytes));
    else if (later == QLatin1String("folder"))
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("ParGen.xml")));
    QCOMPARE(stamp.changedOnDisk(path), changed);
}

void TestDocumentStamp::savedBytesAreTheNewReference()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CanCanCobID.xml"));
    DocumentStamp stamp;
    QByteArray bytes;
    QCOMPARE(stamp.read(path, bytes, 1024), QString());
    QVERIFY(put(path, "mine"));
    QVERIFY(stamp.changedOnDisk(path));
    stamp.saved("mine");
    QVERIFY(!stamp.isAbsent());
    QVERIFY(!stamp.changedOnDisk(path));
    QVERIFY(put(path, "theirs"));
    QVERIFY(stamp.changedOnDisk(path));
}

void TestDocumentStamp::unreadableFileLeavesTheStampAsItWas()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ParGen.xml"));
    QVERIFY(put(path, "first"));
    DocumentStamp stamp;
    QByteArray bytes;
    QCOMPARE(stamp.read(path, bytes, 1024), QString());

    // Too large to be read: refused, and what the editor holds is still the first read.
    QVERIFY(put(path, QByteArray(2000, 'x')));
    QVERIFY(!stamp.read(path, bytes, 1024).isEmpty());
    QVERIFY(stamp.changedOnDisk(path));
    QVERIFY(put(path, "first"));
    QVERIFY(!stamp.changedOnDisk(path));
}

void TestDocumentStamp::stampNeverTakenReportsNoChange()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ParGen.xml"));
    QVERIFY(put(path, "anything"));
    const DocumentStamp stamp;
    QVERIFY(!stamp.isTaken());
    QVERIFY(!stamp.changedOnDisk(path));
}

QTEST_GUILESS_MAIN(TestDocumentStamp)
#include "tst_documentstamp.moc"
