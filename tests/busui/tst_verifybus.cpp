#include "BusPeer.h"
#include "RecordingPrompt.h"
#include "TestPaths.h"

#include "busui/TFVerifyBus.h"
#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "core/i18n/Language.h"
#include "ui/app/TFPraxedoreFirmWare.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

struct Window
{
    AppState state;
    Catalog texts;
    std::unique_ptr<TFVerifyBus> window;
    Window()
    {
        texts.Load_Default_Texts();
        window = std::make_unique<TFVerifyBus>(state, texts);
    }
    QComboBox *port(int p) const
    {
        return window->findChild<QComboBox *>(p == 0 ? QStringLiteral("CB_Can0") : QStringLiteral("CB_Can1"));
    }
    QString result() const { return window->findChild<QLabel *>(QStringLiteral("L_Result"))->text(); }
    QStringList mismatches() const
    {
        QStringList items;
        const auto *list = window->findChild<QListWidget *>(QStringLiteral("LB_Mismatches"));
        for (int i = 0; i < list->count(); ++i)
            items.append(list->item(i)->text());
        return items;
    }
    void open(const Project &p, quint16 busPort)
    {
        state.Dir_Project = p.path();
        Set_Files(state);
        for (int s = 0; s < 2; ++s)
            port(s)->setCurrentText(side(busPort, s));
    }
};

QList<Row> rows()
{
    return {Row("0x181", "0x281"), Row("0x18FEF100", "0x123", Ext, Std)};
}

} // namespace

class TestVerifyBus : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void refusesWithoutAProject();
    void listsTheMismatchesOfARun();
    void verdictsInTheWindowsLanguage();
    void cancelStopsTheRun();
    void badInterfaceIsABox();
    void reachedFromTheMainWindowWithoutChangingIt();
};

void TestVerifyBus::refusesWithoutAProject()
{
    RecordingPrompt prompt;
    Window w;
    QCOMPARE(w.window->exec(), int(PraxDialog::ModalCancel));
    QCOMPARE(prompt.lastText(), QStringLiteral("Error! Project not Valid"));
    QCOMPARE(prompt.lastKind(), Prompt::Kind::Error);
}

void TestVerifyBus::listsTheMismatchesOfARun()
{
    RecordingPrompt prompt;
    Project p;
    QVERIFY(p.make(true, rows(), {}));
    for (const bool faulty : {false, true}) {
        const quint16 port = freePort();
        Peer peer;
        QVERIFY(peer.start(p.image(), port,
                           faulty ? QStringList{QStringLiteral("--fault"), QStringLiteral("drop:0x18FEF100")}
                                  : QStringList()));
        Window w;
        w.open(p, port);
        w.window->startRun();
        QVERIFY(w.window->running());
        QTRY_VERIFY_WITH_TIMEOUT(!w.window->running(), 60000);
        QVERIFY(prompt.shown.isEmpty());
        if (!faulty) {
            QCOMPARE(w.result(), QStringLiteral("All frames as predicted"));
            QVERIFY(w.mismatches().isEmpty());
        } else {
            QCOMPARE(
                w.mismatches(),
                QStringList{QStringLiteral(
                    "CAN 0 > CAN 1  0x18FEF100 (29-bit): expected passes as 0x123 (11-bit); seen nothing [listed]")});
            QVERIFY(w.result().contains(QStringLiteral("From CAN 0 to CAN 1: ")));
        }
    }
}

// The window words its verdicts from the catalog; the command line and the report keep theirs.
void TestVerifyBus::verdictsInTheWindowsLanguage()
{
    RecordingPrompt prompt;
    Project p;
    QVERIFY(p.make(true, rows(), {}));
    const quint16 port = freePort();
    Peer peer;
    QVERIFY(peer.start(p.image(), port, {QStringLiteral("--fault"), QStringLiteral("drop:0x18FEF100")}));
    Window w;
    QString ver;
    QVERIFY(Language::Load_Lang_File(w.texts,
                                     QDir::cleanPath(
                                         TestPaths::data(QStringLiteral("../../resources/LANGUAGE/Italiano.lng"))),
                                     ver));
    w.window->Set_Lang();
    w.open(p, port);
    w.window->startRun();
    QTRY_VERIFY_WITH_TIMEOUT(!w.window->running(), 60000);
    QVERIFY(prompt.shown.isEmpty());
    QCOMPARE(w.mismatches(),
             QStringList{QStringLiteral(
                 "CAN 0 > CAN 1  0x18FEF100 (29 bit): atteso passa come 0x123 (11 bit); ricevuto nulla [elencato]")});
    QVERIFY2(w.result().startsWith(QStringLiteral("Da CAN 0 a CAN 1: "))
                 && w.result().contains(QStringLiteral("1 discordanza")),
             qPrintable(w.result()));
}

void TestVerifyBus::cancelStopsTheRun()
{
    RecordingPrompt prompt;
    Project p;
    QVERIFY(p.make(false, rows(), {}));
    const quint16 port = freePort();
    Peer peer;
    QVERIFY(peer.start(p.image(), port));
    Window w;
    w.open(p, port);
    w.window->startRun();
    QVERIFY(w.window->running());
    w.window->findChild<QPushButton *>(QStringLiteral("Btn_Stop"))->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.window->running(), 10000);
    QTRY_COMPARE(w.result(), QStringLiteral("Cancelled"));
    QVERIFY(w.window->findChild<QPushButton *>(QStringLiteral("Btn_Start"))->isEnabled());
}

void TestVerifyBus::badInterfaceIsABox()
{
    RecordingPrompt prompt;
    Project p;
    QVERIFY(p.make(true, rows(), {}));
    Window w;
    w.open(p, freePort());
    w.port(1)->setCurrentText(QStringLiteral("nosuchcan:x"));
    w.window->startRun();
    QVERIFY(!w.window->running());
    QCOMPARE(prompt.lastKind(), Prompt::Kind::Error);
    QVERIFY2(prompt.lastText().contains(QStringLiteral("no CAN plugin 'nosuchcan'")), qPrintable(prompt.lastText()));
}

void TestVerifyBus::reachedFromTheMainWindowWithoutChangingIt()
{
    QTemporaryDir exeDir;
    AppState state;
    Catalog texts;
    texts.Load_Default_Texts();
    TFPraxedoreFirmWare main(state, texts, exeDir.path());
    const QSize size = main.size();
    const QList<QWidget *> before = main.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    TFVerifyBus::installEntry(main, state, texts);
    QCOMPARE(main.size(), size);
    for (QWidget *child : main.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        QVERIFY(before.contains(child) || child->isWindow());
    QAction *action = main.findChild<QAction *>(QStringLiteral("Act_VerifyBus"));
    QVERIFY(action && main.actions().contains(action));
    QCOMPARE(action->text(), QStringLiteral("Verify on the bus..."));
    QCOMPARE(action->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+B")));
    QCOMPARE(main.contextMenuPolicy(), Qt::ActionsContextMenu);
    // Without a project the shortcut's window says so and does not open.
    RecordingPrompt prompt;
    action->trigger();
    QCOMPARE(prompt.lastText(), QStringLiteral("Error! Project not Valid"));
}

QTEST_MAIN(TestVerifyBus)
#include "tst_verifybus.moc"
