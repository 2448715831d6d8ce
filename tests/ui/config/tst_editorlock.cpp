// The editors' OK while another program holds the project's lock: the window says who holds it,
// stays open with the entries and writes nothing; once the other program is done, OK saves.
#include "EditorProject.h"
#include "RecordingPrompt.h"
#include "TestPaths.h"

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "core/projects/ProjectLock.h"
#include "ui/config/TFParGen2.h"
#include "ui/config/TFSetCobIDAccess.h"

#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestEditorLock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void okWaitsForAnotherWriter_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::newRow("communication settings") << QStringLiteral("TFParGen2");
        QTest::newRow("COB-ID filters") << QStringLiteral("TFSetCobIDAccess");
    }

    void okWaitsForAnotherWriter()
    {
        QFETCH(QString, editor);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        AppState state;
        Catalog catalog;
        prepareEditorProject(dir.path(), state, catalog);
        RecordingPrompt prompt;
        ProjectLock::setWaitTime(std::chrono::milliseconds(200));
        std::unique_ptr<PraxDialog> window;
        QString document;
        if (editor == QLatin1String("TFParGen2")) {
            window = std::make_unique<TFParGen2>(state, catalog);
            document = state.File_ParGen;
        } else {
            window = std::make_unique<TFSetCobIDAccess>(state, catalog);
            document = state.File_CobID;
        }
        window->open();
        QVERIFY(window->isVisible());

        QProcess holder;
        holder.start(TestPaths::tool(QStringLiteral("hold_lock")), {dir.path()});
        QVERIFY(holder.waitForReadyRead(60000));
        QVERIFY(holder.readAllStandardOutput().startsWith("held"));
        auto *ok = window->findChild<QPushButton *>(QStringLiteral("Btn_OK"));
        QVERIFY(ok);
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(prompt.lastKind(), Prompt::Kind::Error);
        const QString holderText = QStringLiteral("process %1 on host ").arg(holder.processId());
        QCOMPARE(prompt.lastText().left(catalog.text(TextId::LockedByBefore).size()),
                 catalog.text(TextId::LockedByBefore));
        QVERIFY2(prompt.lastText().contains(holderText) && prompt.lastText().contains(QStringLiteral("hold_lock")),
                 qPrintable(prompt.lastText()));
        QVERIFY(prompt.lastText().endsWith(catalog.text(TextId::LockedByAfter)));
        QVERIFY(window->isVisible());
        QVERIFY(!QFileInfo::exists(document));

        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(60000));
        prompt.clear();
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY2(prompt.shown.isEmpty(), qPrintable(prompt.lastText()));
        QVERIFY(!window->isVisible());
        QVERIFY(QFileInfo(document).isFile());
    }
};

QTEST_MAIN(TestEditorLock)
#include "tst_editorlock.moc"
