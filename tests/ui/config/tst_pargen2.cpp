#include "EditorProject.h"
#include "RecordingPrompt.h"
#include "TestPaths.h"

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "core/config/ParGen.h"
#include "ui/config/TFParGen2.h"
#include "ui/widgets/CollapsiblePanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

// The communication settings window as a user meets it: what it shows for each device type,
// frame type and DIP flag, what OK writes, and that Cancel writes nothing.
class TestParGen2 : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void openingShowsTheDocument_data();
    void openingShowsTheDocument();
    void layoutFollowsDeviceTypeAndDip_data();
    void layoutFollowsDeviceTypeAndDip();
    void positiveIsForcedWhileFrameTypesDiffer();
    void okRefusesAnAddressByteOutOfRange_data();
    void okRefusesAnAddressByteOutOfRange();
    void withoutEthernetTheSameBytesAreWritten();
    void okWritesEveryValueShownOrNot();
    void cancelAndCloseBoxWriteNothing_data();
    void cancelAndCloseBoxWriteNothing();
    void unreadableDocumentKeepsTheWindowClosed();
    void failedSaveKeepsTheWindowOpenWithTheEntries();
    void captionBarFoldsAndUnfoldsAPanel();
    void onlyTheHeightFollowsAResize();
    void wheelScrollsTheGroupOnlyOverIt();
    void languageChangeLeavesPanelCaptions();

private:
    template <class T>
    T *child(const QString &name) const
    {
        T *w = m_window->findChild<T *>(name);
        if (!w)
            qFatal("no widget %s", qPrintable(name));
        return w;
    }
    QComboBox *list(const QString &name) const { return child<QComboBox>(name); }
    QCheckBox *check(const QString &name) const { return child<QCheckBox>(name); }
    QLineEdit *field(const QString &name) const { return child<QLineEdit>(name); }
    CollapsiblePanel *panel(const QString &name) const { return child<CollapsiblePanel>(name); }

    void writeDocument(const QByteArray &bytes);
    QByteArray documentBytes() const;
    void openWindow();
    static void choose(QComboBox *list, int item);
    static void toggle(QCheckBox *box);
    static void type(QLineEdit *field, const QString &text);
    void clickOk();

    QTemporaryDir *m_dir = nullptr;
    AppState m_state;
    Catalog m_catalog;
    RecordingPrompt *m_prompt = nullptr;
    TFParGen2 *m_window = nullptr;
};

void TestParGen2::init()
{
    m_dir = new QTemporaryDir;
    prepareEditorProject(m_dir->path(), m_state, m_catalog);
    m_prompt = new RecordingPrompt;
    m_window = new TFParGen2(m_state, m_catalog);
}

void TestParGen2::cleanup()
{
    delete m_window;
    delete m_prompt;
    delete m_dir;
}

void TestParGen2::writeDocument(const QByteArray &bytes)
{
    QFile f(m_state.File_ParGen);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray TestParGen2::documentBytes() const
{
    QFile f(m_state.File_ParGen);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestParGen2::openWindow()
{
    m_window->open();
    QVERIFY(m_window->isVisible());
}

void TestParGen2::choose(QComboBox *list, int item)
{
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < item; ++i)
        QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentIndex(), item);
}

void TestParGen2::toggle(QCheckBox *box)
{
    QTest::keyClick(box, Qt::Key_Space);
}

void TestParGen2::type(QLineEdit *field, const QString &text)
{
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
    QCOMPARE(field->text(), text);
}

void TestParGen2::clickOk()
{
    QTest::mouseClick(child<QPushButton>(QStringLiteral("Btn_OK")), Qt::LeftButton);
}

void TestParGen2::openingShowsTheDocument_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QString>("deviceType");
    QTest::addColumn<bool>("positive");
    QTest::newRow("no document") << QString() << QStringLiteral("With Ethernet Port") << false;
    QTest::newRow("root without children")
        << QStringLiteral("config/ParGen-empty-root.xml") << QStringLiteral("Without Ethernet Port") << true;
}

void TestParGen2::openingShowsTheDocument()
{
    QFETCH(QString, fixture);
    QFETCH(QString, deviceType);
    QFETCH(bool, positive);
    if (!fixture.isEmpty())
        QVERIFY(QFile::copy(TestPaths::data(fixture), m_state.File_ParGen));
    openWindow();

    QCOMPARE(list(QStringLiteral("CB_Device_Type_Type"))->currentText(), deviceType);
    for (const char16_t *port : {u"CAN0", u"CAN1"}) {
        const QString p = QString::fromUtf16(port);
        QCOMPARE(list(QStringLiteral("CB_%1_Baudrate").arg(p))->currentText(), QStringLiteral("1000K"));
        QCOMPARE(list(QStringLiteral("CB_%1_Type").arg(p))->currentText(), QStringLiteral("CAN 2.0A (11 bits)"));
        QVERIFY(!check(QStringLiteral("CB_%1_Baud_On_Dip").arg(p))->isChecked());
    }
    QCOMPARE(check(QStringLiteral("CB_Options_Positive_Implementation"))->isChecked(), positive);
    QVERIFY(check(QStringLiteral("CB_Options_Positive_Implementation"))->isEnabled());
    const QStringList expected = {QStringLiteral("192"), QStringLiteral("168"), QStringLiteral("0"),
                                  QStringLiteral("10"),  QStringLiteral("255"), QStringLiteral("255"),
                                  QStringLiteral("255"), QStringLiteral("0"),   QStringLiteral("192"),
                                  QStringLiteral("168"), QStringLiteral("0"),   QStringLiteral("1")};
    QStringList shown;
    for (const char16_t *group : {u"IP", u"SM", u"GAT"})
        for (int i = 1; i <= 4; ++i)
            shown << field(QStringLiteral("E_Ethernet_%1%2").arg(QString::fromUtf16(group)).arg(i))->text();
    QCOMPARE(shown, expected);
    QVERIFY(!check(QStringLiteral("CB_Ethernet_En_GAT"))->isChecked());
    QVERIFY(m_prompt->shown.isEmpty());
}

void TestParGen2::layoutFollowsDeviceTypeAndDip_data()
{
    QTest::addColumn<int>("deviceType");
    QTest::addColumn<bool>("dip");
    QTest::addColumn<bool>("baudShown");
    QTest::addColumn<bool>("typeShown");
    QTest::addColumn<int>("typeRowBelowBaud"); // in rows; -1 when the type is hidden
    QTest::addColumn<QString>("lowest");

    QTest::newRow("with Ethernet") << 1 << false << true << false << -1 << QStringLiteral("CB_CAN0_Baudrate");
    QTest::newRow("with Ethernet, DIP") << 1 << true << false << false << -1 << QStringLiteral("CB_CAN0_Baud_On_Dip");
    QTest::newRow("without Ethernet") << 0 << false << true << true << 1 << QStringLiteral("CB_CAN0_Type");
    QTest::newRow("without Ethernet, DIP") << 0 << true << false << true << 0 << QStringLiteral("CB_CAN0_Type");
}

void TestParGen2::layoutFollowsDeviceTypeAndDip()
{
    QFETCH(int, deviceType);
    QFETCH(bool, dip);
    QFETCH(bool, baudShown);
    QFETCH(bool, typeShown);
    QFETCH(int, typeRowBelowBaud);
    QFETCH(QString, lowest);

    openWindow();
    CollapsiblePanel *can0 = panel(QStringLiteral("CP_CAN0"));
    const int heightBefore = can0->height();
    choose(list(QStringLiteral("CB_Device_Type_Type")), deviceType);
    if (dip)
        toggle(check(QStringLiteral("CB_CAN0_Baud_On_Dip")));

    QCOMPARE(child<QLabel>(QStringLiteral("L_CAN0_Baudrate"))->isVisible(), baudShown);
    QCOMPARE(list(QStringLiteral("CB_CAN0_Baudrate"))->isVisible(), baudShown);
    QLabel *typeLabel = child<QLabel>(QStringLiteral("L_CAN0_Type"));
    QComboBox *typeList = list(QStringLiteral("CB_CAN0_Type"));
    QCOMPARE(typeLabel->isVisible(), typeShown);
    QCOMPARE(typeList->isVisible(), typeShown);
    if (typeShown) {
        const int baudLabelTop = child<QLabel>(QStringLiteral("L_CAN0_Baudrate"))->y();
        QCOMPARE(typeLabel->y(), baudLabelTop + 28 * typeRowBelowBaud);
        QCOMPARE(typeList->y(), typeLabel->y() - 3);
    }
    // The panel ends 12 pixels below its lowest visible control, under the caption bar.
    QCOMPARE(can0->height(), child<QWidget>(lowest)->geometry().bottom() + 1 + CollapsiblePanel::CaptionHeight + 12);

    // The other port, untouched, shows the same rows as before apart from the frame type.
    QCOMPARE(list(QStringLiteral("CB_CAN1_Baudrate"))->isVisible(), true);
    QCOMPARE(list(QStringLiteral("CB_CAN1_Type"))->isVisible(), deviceType == 0);
    QCOMPARE(panel(QStringLiteral("CP_Ethernet"))->isVisible(), deviceType == 1);
    QVERIFY(!field(QStringLiteral("E_Ethernet_TCP_Port"))->isVisible());
    QVERIFY(!field(QStringLiteral("E_Ethernet_UDP_Port"))->isVisible());
    if (deviceType == 0 && dip)
        QCOMPARE(can0->height(), heightBefore); // the frame type row took the bit rate's place
    if (deviceType == 0 && !dip)
        QCOMPARE(can0->height(), heightBefore + 28);
}

void TestParGen2::positiveIsForcedWhileFrameTypesDiffer()
{
    openWindow();
    QCheckBox *positive = check(QStringLiteral("CB_Options_Positive_Implementation"));
    QVERIFY(!positive->isChecked());
    choose(list(QStringLiteral("CB_Device_Type_Type")), 0);
    QVERIFY(positive->isEnabled());

    choose(list(QStringLiteral("CB_CAN0_Type")), 1);
    QVERIFY(!positive->isEnabled());
    QVERIFY(positive->isChecked());

    // Back to equal types: the box can be used again and stays checked.
    choose(list(QStringLiteral("CB_CAN0_Type")), 0);
    QVERIFY(positive->isEnabled());
    QVERIFY(positive->isChecked());
    toggle(positive);
    QVERIFY(!positive->isChecked());

    // With Ethernet the frame types do not matter.
    choose(list(QStringLiteral("CB_CAN1_Type")), 1);
    QVERIFY(!positive->isEnabled());
    choose(list(QStringLiteral("CB_Device_Type_Type")), 1);
    QVERIFY(positive->isEnabled());
}

void TestParGen2::okRefusesAnAddressByteOutOfRange_data()
{
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<bool>("gateway");
    QTest::addColumn<QString>("message");
    const char *ip[] = {"Error Ethernet!! IP Address %1 must be between 0 and 255",
                        "Error Ethernet!! SubNet Mask %1 must be between 0 and 255",
                        "Error Ethernet!! GATEWAY IP %1 must be between 0 and 255"};
    const char16_t *groups[] = {u"IP", u"SM", u"GAT"};
    for (int g = 0; g < 3; ++g) {
        for (int i = 1; i <= 4; ++i) {
            const QString name = QStringLiteral("E_Ethernet_%1%2").arg(QString::fromUtf16(groups[g])).arg(i);
            QTest::newRow(qPrintable(name)) << name << (g == 2) << QString::fromLatin1(ip[g]).arg(i);
        }
    }
}

void TestParGen2::okRefusesAnAddressByteOutOfRange()
{
    QFETCH(QString, fieldName);
    QFETCH(bool, gateway);
    QFETCH(QString, message);
    openWindow();
    if (gateway) {
        // A disabled gateway is not checked at all.
        type(field(fieldName), QStringLiteral("300"));
        clickOk();
        QVERIFY(m_prompt->shown.isEmpty());
        QVERIFY(!m_window->isVisible());
        QVERIFY(documentBytes().contains("300"));
        QFile::remove(m_state.File_ParGen);
        openWindow();
        toggle(check(QStringLiteral("CB_Ethernet_En_GAT")));
    }
    type(field(fieldName), QStringLiteral("256"));
    clickOk();
    QCOMPARE(m_prompt->shown.size(), 1);
    QCOMPARE(m_prompt->lastKind(), Prompt::Kind::Error);
    QCOMPARE(m_prompt->lastText(), message);
    QVERIFY(m_window->isVisible());
    QCOMPARE(field(fieldName)->text(), QStringLiteral("256"));
    QVERIFY(!QFile::exists(m_state.File_ParGen));
}

void TestParGen2::withoutEthernetTheSameBytesAreWritten()
{
    openWindow();
    type(field(QStringLiteral("E_Ethernet_IP1")), QStringLiteral("256"));
    type(field(QStringLiteral("E_Ethernet_SM4")), QString());
    choose(list(QStringLiteral("CB_Device_Type_Type")), 0);
    clickOk();
    QVERIFY(m_prompt->shown.isEmpty());
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_window->result(), int(PraxDialog::ModalOk));
    const QByteArray bytes = documentBytes();
    QVERIFY(bytes.contains("<Ethernet_IP1>256</Ethernet_IP1>"));
    QVERIFY(bytes.contains("<Ethernet_SM4></Ethernet_SM4>"));
    QVERIFY(bytes.contains("<Device_Type>0</Device_Type>"));
}

void TestParGen2::okWritesEveryValueShownOrNot()
{
    // The ports are never shown and must come back as they were; hidden bit rates and types too.
    ParGenValues stored;
    stored.deviceType = 1;
    stored.type = 1;
    stored.typeC1 = 0;
    stored.boud1 = 3;
    stored.positive = true;
    stored.tcpPort = QStringLiteral("502");
    stored.udpPort = QStringLiteral(" 0x1F90");
    QVERIFY(ParGen::save(stored, m_state.File_ParGen).isEmpty());
    openWindow();

    toggle(check(QStringLiteral("CB_CAN1_Baud_On_Dip")));
    choose(list(QStringLiteral("CB_CAN0_Baudrate")), 4);
    type(field(QStringLiteral("E_Ethernet_IP1")), QStringLiteral(" 0x0A"));
    toggle(check(QStringLiteral("CB_Ethernet_En_GAT")));
    type(field(QStringLiteral("E_Ethernet_GAT4")), QStringLiteral("254"));
    clickOk();
    QVERIFY(m_prompt->shown.isEmpty());
    QCOMPARE(m_window->result(), int(PraxDialog::ModalOk));

    ParGenValues expected = stored;
    expected.baudDipC1 = true;
    expected.boud0 = 4;
    expected.ip[0] = QStringLiteral(" 0x0A");
    expected.gatewayEnabled = true;
    expected.gateway[3] = QStringLiteral("254");
    QByteArray expectedBytes;
    QVERIFY(ParGen::toBytes(expected, expectedBytes).isEmpty());
    QCOMPARE(documentBytes(), expectedBytes);

    // Reopening shows what was written.
    openWindow();
    QCOMPARE(m_window->values(), expected);
}

void TestParGen2::cancelAndCloseBoxWriteNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << QStringLiteral("Btn_Cancel");
    QTest::newRow("close box") << QStringLiteral("close");
    QTest::newRow("Escape, then close box") << QStringLiteral("Escape");
}

void TestParGen2::cancelAndCloseBoxWriteNothing()
{
    QFETCH(QString, how);
    QVERIFY(QFile::copy(TestPaths::data(QStringLiteral("config/ParGen-edited.xml")), m_state.File_ParGen));
    const QByteArray before = documentBytes();
    openWindow();
    const ParGenValues shown = m_window->values();
    choose(list(QStringLiteral("CB_Device_Type_Type")), 1 - shown.deviceType);
    type(field(QStringLiteral("E_Ethernet_IP4")), QStringLiteral("77"));

    if (how == QLatin1String("Btn_Cancel")) {
        QTest::mouseClick(child<QPushButton>(how), Qt::LeftButton);
    } else {
        if (how == QLatin1String("Escape")) {
            QTest::keyClick(m_window, Qt::Key_Escape);
            QVERIFY(m_window->isVisible());
        }
        QVERIFY(m_window->close());
    }
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_window->result(), int(PraxDialog::ModalCancel));
    QCOMPARE(documentBytes(), before);

    openWindow();
    QCOMPARE(m_window->values(), shown);
}

void TestParGen2::unreadableDocumentKeepsTheWindowClosed()
{
    QVERIFY(QFile::copy(TestPaths::data(QStringLiteral("config/ParGen-malformed.xml")), m_state.File_ParGen));
    const QByteArray before = documentBytes();
    QCOMPARE(m_window->exec(), int(PraxDialog::ModalCancel));
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_prompt->shown.size(), 1);
    QCOMPARE(m_prompt->lastKind(), Prompt::Kind::Error);
    QVERIFY2(m_prompt->lastText().contains(QStringLiteral("ParGen.xml")), qPrintable(m_prompt->lastText()));
    QVERIFY(m_prompt->lastText().contains(QStringLiteral("line 2")));
    QCOMPARE(documentBytes(), before);
}

void TestParGen2::failedSaveKeepsTheWindowOpenWithTheEntries()
{
    openWindow();
    // The project folder went away while the window was open.
    m_state.File_ParGen = QDir(m_dir->path()).filePath(QStringLiteral("gone/ParGen.xml"));
    type(field(QStringLiteral("E_Ethernet_IP2")), QStringLiteral("10"));
    clickOk();
    QCOMPARE(m_prompt->shown.size(), 1);
    QCOMPARE(m_prompt->lastKind(), Prompt::Kind::Error);
    QVERIFY2(m_prompt->lastText().contains(QStringLiteral("ParGen.xml")), qPrintable(m_prompt->lastText()));
    QVERIFY(m_window->isVisible());
    QCOMPARE(field(QStringLiteral("E_Ethernet_IP2"))->text(), QStringLiteral("10"));

    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("gone")));
    clickOk();
    QVERIFY(!m_window->isVisible());
    QVERIFY(documentBytes().contains("<Ethernet_IP2>10</Ethernet_IP2>"));
}

void TestParGen2::captionBarFoldsAndUnfoldsAPanel()
{
    openWindow();
    CollapsiblePanel *can1 = panel(QStringLiteral("CP_CAN1"));
    CollapsiblePanel *options = panel(QStringLiteral("CP_Options"));
    const int expanded = can1->height();
    const int optionsTop = options->y();
    QTest::mouseClick(can1, Qt::LeftButton, {}, QPoint(40, CollapsiblePanel::CaptionHeight / 2));
    QVERIFY(can1->isCollapsed());
    QCOMPARE(can1->height(), CollapsiblePanel::CaptionHeight);
    QVERIFY(!list(QStringLiteral("CB_CAN1_Baudrate"))->isVisible());
    QApplication::processEvents();
    QCOMPARE(options->y(), optionsTop - (expanded - CollapsiblePanel::CaptionHeight));

    // A click in the body does nothing; a second click on the caption unfolds the panel.
    QTest::mouseClick(panel(QStringLiteral("CP_CAN0")), Qt::LeftButton, {},
                      QPoint(5, CollapsiblePanel::CaptionHeight + 5));
    QVERIFY(!panel(QStringLiteral("CP_CAN0"))->isCollapsed());
    QTest::mouseClick(can1, Qt::LeftButton, {}, QPoint(can1->width() - 10, 5));
    QVERIFY(!can1->isCollapsed());
    QCOMPARE(can1->height(), expanded);
    QVERIFY(list(QStringLiteral("CB_CAN1_Baudrate"))->isVisible());
    QCOMPARE(can1->caption(), QStringLiteral("3. CAN 1"));
}

void TestParGen2::onlyTheHeightFollowsAResize()
{
    openWindow();
    QCOMPARE(m_window->size(), QSize(460, 700));
    m_window->resize(700, 420);
    QCOMPARE(m_window->size(), QSize(460, 420));
}

void TestParGen2::wheelScrollsTheGroupOnlyOverIt()
{
    openWindow();
    m_window->resize(460, 300);
    QApplication::processEvents();
    QScrollBar *bar = child<QScrollArea>(QStringLiteral("CPG"))->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QComboBox *baud = list(QStringLiteral("CB_CAN0_Baudrate"));
    const int index = baud->currentIndex();

    const auto wheel = [](QWidget *target, int delta) {
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    };
    // Over a list inside the group: the group scrolls down, the list keeps its choice.
    wheel(baud, -120);
    const int lines = QApplication::wheelScrollLines();
    QCOMPARE(bar->value(), qMin(bar->maximum(), lines * bar->singleStep()));
    QCOMPARE(baud->currentIndex(), index);
    wheel(baud, 120);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(baud->currentIndex(), index);

    // Over the header or the buttons nothing scrolls.
    wheel(child<QWidget>(QStringLiteral("P_Title")), -120);
    wheel(child<QWidget>(QStringLiteral("Btn_OK")), -120);
    QCOMPARE(bar->value(), 0);
}

void TestParGen2::languageChangeLeavesPanelCaptions()
{
    QString version;
    m_catalog.applyLangText(QStringLiteral("STR906 = Geraet\nSTR907 = Geraetetyp\nSTR902 = Ja\n"), version);
    m_window->Set_Lang();
    QCOMPARE(child<QLabel>(QStringLiteral("L_Device_Type_Type"))->text(), QStringLiteral("Geraetetyp"));
    QCOMPARE(child<QPushButton>(QStringLiteral("Btn_OK"))->text(), QStringLiteral("Ja"));
    QCOMPARE(panel(QStringLiteral("CP_Device_Type"))->caption(), QStringLiteral("1. Device Type"));
    QCOMPARE(panel(QStringLiteral("CP_Ethernet"))->caption(), QStringLiteral("5. Ethernet"));

    // A window created after the change composes its captions in the new language.
    TFParGen2 later(m_state, m_catalog);
    QCOMPARE(later.findChild<CollapsiblePanel *>(QStringLiteral("CP_Device_Type"))->caption(),
             QStringLiteral("1. Geraet"));
}

QTEST_MAIN(TestParGen2)
#include "tst_pargen2.moc"
