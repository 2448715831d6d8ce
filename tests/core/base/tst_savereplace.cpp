#include "core/base/FileIo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

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

QTEST_GUILESS_MAIN(TestSaveReplace)
#include "tst_savereplace.moc"
