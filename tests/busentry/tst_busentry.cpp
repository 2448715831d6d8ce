#include "BusEntry.h"
#include "CliRun.h"
#include "RecordingPrompt.h"

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "ui/app/TFPraxedoreFirmWare.h"

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

// What the user is offered for the bus, in a build with bus support and in one without.

namespace {
#ifdef PRAXEDO_HAVE_BUS
constexpr bool HasBus = true;
#else
constexpr bool HasBus = false;
#endif
constexpr char kNoBus[] = "this build has no CAN bus support";
} // namespace

class TestBusEntry : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void mainWindowOffersTheBusWindowOnlyWithBusSupport();
    void commandLine_data();
    void commandLine();
};

void TestBusEntry::mainWindowOffersTheBusWindowOnlyWithBusSupport()
{
    QTemporaryDir exeDir;
    AppState state;
    Catalog texts;
    texts.Load_Default_Texts();
    TFPraxedoreFirmWare main(state, texts, exeDir.path());
    const QList<QAction *> before = main.findChildren<QAction *>();
    const Qt::ContextMenuPolicy policy = main.contextMenuPolicy();
    installBusEntry(main, state, texts);
    main.show();
    QApplication::setActiveWindow(&main);
    QVERIFY(QTest::qWaitForWindowActive(&main));

    QList<QAction *> added;
    for (QAction *a : main.findChildren<QAction *>()) {
        if (!before.contains(a))
            added.append(a);
    }
    RecordingPrompt prompt;
    // No project is open: with bus support the window refuses with a box, without it nothing answers.
    QTest::keyClick(&main, Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
    QCoreApplication::processEvents();
    QVERIFY(!QApplication::activeModalWidget());
    if (HasBus) {
        QCOMPARE(added.size(), 1);
        QCOMPARE(added.first()->objectName(), QStringLiteral("Act_VerifyBus"));
        QCOMPARE(prompt.lastText(), QStringLiteral("Error! Project not Valid"));
    } else {
        QVERIFY(added.isEmpty());
        QCOMPARE(main.actions().size(), before.size());
        QCOMPARE(main.contextMenuPolicy(), policy);
        QVERIFY(prompt.shown.isEmpty());
    }
}

void TestBusEntry::commandLine_data()
{
    QTest::addColumn<QStringList>("args"); // %1 is a folder that is no project
    QTest::newRow("verify") << QStringList{u"verify"_qs,          u"%1"_qs,     u"--can0"_qs,
                                           u"virtualcan:can0"_qs, u"--can1"_qs, u"virtualcan:can1"_qs};
    QTest::newRow("verify, nothing else") << QStringList{u"verify"_qs};
    QTest::newRow("verify --help") << QStringList{u"verify"_qs, u"--help"_qs};
    QTest::newRow("emulate") << QStringList{u"emulate"_qs,         u"%1"_qs,     u"--can0"_qs,
                                            u"virtualcan:can0"_qs, u"--can1"_qs, u"virtualcan:can1"_qs};
}

void TestBusEntry::commandLine()
{
    QFETCH(QStringList, args);
    QTemporaryDir dir;
    for (QString &a : args)
        a.replace(QLatin1String("%1"), dir.path());
    const CliRun::Result r = CliRun::run(args);
    QVERIFY(r.exitCode > 0);
    QCOMPARE(r.err.contains(kNoBus), !HasBus);

    const CliRun::Result help = CliRun::run({QStringLiteral("--help")});
    QCOMPARE(help.exitCode, 0);
    for (const char *command : {"verify", "emulate"}) {
        const int at = help.out.indexOf(QByteArray("\n  ") + command + ' ');
        QVERIFY2(at >= 0, command);
        const int usageEnd = help.out.indexOf('\n', at + 1);
        const QByteArray entry = help.out.mid(at, help.out.indexOf('\n', usageEnd + 1) - at); // usage and summary
        QCOMPARE(entry.contains("Not in this build: it has no CAN bus support"), !HasBus);
        QCOMPARE(entry.contains("--can0 PLUGIN:INTERFACE"), HasBus);
    }
}

QTEST_MAIN(TestBusEntry)
#include "tst_busentry.moc"
