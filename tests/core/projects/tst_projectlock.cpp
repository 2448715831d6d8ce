// The project lock within one program; tests/cli/tst_projectlock.cpp has the lock between
// programs.
#include "core/projects/ProjectLock.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestProjectLock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // One program taking the lock again inside its own work, or where no lock file can be made,
    // is never held up.
    void singleWriterIsNeverRefused()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        ProjectLock::setWaitTime(std::chrono::milliseconds(0));
        ProjectLock outer(dir.path());
        QVERIFY(outer.acquire());
        {
            ProjectLock inner(dir.path());
            QVERIFY(inner.acquire());
        }
        QVERIFY(QFileInfo::exists(QDir(dir.path()).filePath(ProjectLock::fileName())));
        outer.release();
        QVERIFY(!QFileInfo::exists(QDir(dir.path()).filePath(ProjectLock::fileName())));

        ProjectLock nowhere(dir.filePath(QStringLiteral("no/such/folder")));
        QVERIFY(nowhere.acquire());
    }
};

QTEST_GUILESS_MAIN(TestProjectLock)
#include "tst_projectlock.moc"
