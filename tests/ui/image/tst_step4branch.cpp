#include "RecordingPrompt.h"

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "ui/app/TFPraxedoreFirmWare.h"
#include "ui/image/TFModifyFileSx.h"
#include "ui/update/TFBoot.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// Step 4 opens the generate-firmware window for every device type but the Ethernet one.
class TestStep4Branch : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void opensWindowForType_data();
    void opensWindowForType();
};

void TestStep4Branch::opensWindowForType_data()
{
    QTest::addColumn<QByteArray>("deviceType");
    QTest::addColumn<QString>("opened");
    QTest::newRow("without Ethernet port") << QByteArray("0") << QStringLiteral("TFModifyFileSx");
    QTest::newRow("other type") << QByteArray("2") << QStringLiteral("TFModifyFileSx");
    QTest::newRow("with Ethernet port") << QByteArray("1") << QStringLiteral("TFBoot");
}

void TestStep4Branch::opensWindowForType()
{
    QFETCH(QByteArray, deviceType);
    QFETCH(QString, opened);
    const QString cwd = QDir::currentPath();
    QTemporaryDir dir;
    RecordingPrompt prompt;
    AppState state;
    Catalog catalog;
    TFPraxedoreFirmWare main(state, catalog, dir.path());
    TFPraxedoreFirmWare::Windows windows;
    windows.modifyFileSx = new TFModifyFileSx(state, catalog, &main);
    windows.boot = new TFBoot(state, catalog, &main);
    main.setWindows(windows);

    state.Name_Project = QStringLiteral("Demo");
    state.Dir_Project = QDir(dir.path()).filePath(QStringLiteral("Demo"));
    QVERIFY(QDir().mkpath(state.Dir_Project + QStringLiteral("/bin")));
    Set_Files(state);
    QFile doc(state.File_ParGen);
    QVERIFY(doc.open(QIODevice::WriteOnly));
    // The image build reads the first seven elements strictly, so they come first.
    doc.write(
        "<Par_Gen><Boud0>8</Boud0><Boud1>8</Boud1><Type>0</Type><Positive>0</Positive><Baud_Dip_C0>0</Baud_Dip_C0>"
        "<Baud_Dip_C1>0</Baud_Dip_C1><TypeC1>0</TypeC1><Device_Type>"
        + deviceType + "</Device_Type></Par_Gen>");
    doc.close();

    QString seen;
    QTimer::singleShot(0, this, [&seen] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            seen = modal->objectName();
            modal->close();
        }
    });
    main.Update_Device();
    QDir::setCurrent(cwd);
    QCOMPARE(seen, opened);
}

QTEST_MAIN(TestStep4Branch)
#include "tst_step4branch.moc"
