#include "ui/config/TFParGen2.h"

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "core/config/DocumentXml.h"
#include "core/config/ParGen.h"
#include "core/device/facts/DeviceFacts.h"
#include "core/projects/ProjectLock.h"
#include "ui/widgets/CollapsiblePanel.h"
#include "ui/widgets/Prompt.h"
#include "ui/widgets/StyledButton.h"
#include "ui/widgets/WindowStyle.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

constexpr int ClientWidth = 460;
constexpr int ClientHeight = 700;
constexpr int RowPitch = 28;
constexpr int FirstRowTop = 8; // top of the lists and fields of the first row, in body coordinates
constexpr int LabelDrop = 3;   // a label sits this much below its list's top
constexpr int CheckDrop = 2;
constexpr int LabelLeft = 16;
constexpr int LabelWidth = 164;
constexpr int ListLeft = 184;
constexpr int ListWidth = 238;
constexpr int ListHeight = 22;
constexpr int ByteWidth = 55;
constexpr int BytePitch = 61;
constexpr int BottomMargin = 12;

int rowTop(int row)
{
    return FirstRowTop + row * RowPitch;
}

QLabel *addLabel(QWidget *body, const QString &name, int row)
{
    auto *l = new QLabel(body);
    l->setObjectName(name);
    l->setGeometry(LabelLeft, rowTop(row) + LabelDrop, LabelWidth, 16);
    return l;
}

QComboBox *addList(QWidget *body, const QString &name, int row, const QStringList &items)
{
    auto *c = new QComboBox(body);
    c->setObjectName(name);
    c->addItems(items);
    c->setGeometry(ListLeft, rowTop(row), ListWidth, ListHeight);
    return c;
}

QCheckBox *addCheck(QWidget *body, const QString &name, int row, int width)
{
    auto *c = new QCheckBox(body);
    c->setObjectName(name);
    c->setGeometry(LabelLeft, rowTop(row) + CheckDrop, width, 18);
    return c;
}

// Four byte fields separated by small dots, aligned with the lists.
std::array<QLineEdit *, 4> addByteFields(QWidget *body, const QString &prefix, int row)
{
    std::array<QLineEdit *, 4> fields{};
    for (int i = 0; i < 4; ++i) {
        auto *e = new QLineEdit(body);
        e->setObjectName(prefix + QString::number(i + 1));
        e->setGeometry(ListLeft + i * BytePitch, rowTop(row), ByteWidth, ListHeight);
        fields[size_t(i)] = e;
        if (i < 3) {
            auto *dot = new QLabel(QStringLiteral("."), body);
            dot->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
            dot->setGeometry(ListLeft + i * BytePitch + ByteWidth, rowTop(row), BytePitch - ByteWidth, ListHeight - 4);
        }
    }
    return fields;
}

QStringList bitRates()
{
    QStringList names;
    for (const char *name : DeviceFacts::BitRateNames)
        names << QString::fromLatin1(name);
    return names;
}

QStringList frameTypes()
{
    return {QStringLiteral("CAN 2.0A (11 bits)"), QStringLiteral("CAN 2.0B (29 bits)")};
}

} // namespace

TFParGen2::TFParGen2(AppState &state, Catalog &catalog, QWidget *parent)
    : PraxDialog(parent)
    , m_state(state)
    , m_catalog(catalog)
{
    setObjectName(QStringLiteral("TFParGen2"));
    setClientSize(ClientWidth, ClientHeight, true);
    // Only the height follows the user; the panels are laid out for this width.
    setMinimumWidth(ClientWidth);
    setMaximumWidth(ClientWidth);
    setMinimumHeight(WindowStyle::HeaderHeight + WindowStyle::ButtonPanelHeight + 3 * CollapsiblePanel::CaptionHeight);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    QWidget *header = WindowStyle::createHeader(this, m_state.SW_Code, &L_SW_Code, &L_SW_Desc);
    header->setFixedHeight(WindowStyle::HeaderHeight);
    layout->addWidget(header);

    CPG = new QScrollArea(this);
    CPG->setObjectName(QStringLiteral("CPG"));
    CPG->setWidgetResizable(true);
    CPG->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    CPG->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    CPG->setFrameShape(QFrame::StyledPanel);
    auto *group = new QWidget;
    group->setObjectName(QStringLiteral("CPG_Panels"));
    auto *stack = new QVBoxLayout(group);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    CPG->setWidget(group);
    layout->addWidget(CPG, 1);

    buildDeviceTypePanel();
    buildCanPanel(m_can[0], 0);
    buildCanPanel(m_can[1], 1);
    buildOptionsPanel();
    buildEthernetPanel();
    for (CollapsiblePanel *p : {CP_Device_Type, m_can[0].panel, m_can[1].panel, CP_Options, CP_Ethernet}) {
        p->hide();
        stack->addWidget(p);
    }
    stack->addStretch(1);

    QWidget *buttons = WindowStyle::createButtonPanel(this);
    buttons->setFixedHeight(WindowStyle::ButtonPanelHeight);
    layout->addWidget(buttons);
    Btn_OK = new StyledButton(QStringLiteral("Btn_OK"), StyledButton::Picture::Ok, buttons);
    Btn_OK->setGeometry(217, WindowStyle::ButtonTop, WindowStyle::ButtonWidth, WindowStyle::ButtonHeight);
    Btn_Cancel = new StyledButton(QStringLiteral("Btn_Cancel"), StyledButton::Picture::Cancel, buttons);
    Btn_Cancel->setGeometry(335, WindowStyle::ButtonTop, WindowStyle::ButtonWidth, WindowStyle::ButtonHeight);
    // Enter in a field must not confirm the window behind the user's back.
    for (StyledButton *b : {Btn_OK, Btn_Cancel})
        b->setAutoDefault(false);
    connect(Btn_OK, &QAbstractButton::clicked, this, &TFParGen2::Btn_OKClick);
    connect(Btn_Cancel, &QAbstractButton::clicked, this, &TFParGen2::reject);

    // The layout follows the device type, the frame types and the DIP flags.
    for (QComboBox *c : {CB_Device_Type_Type, m_can[0].type, m_can[1].type})
        connect(c, &QComboBox::currentIndexChanged, this, &TFParGen2::Move_GroupBoxs);
    for (QCheckBox *c : {m_can[0].dip, m_can[1].dip})
        connect(c, &QCheckBox::toggled, this, &TFParGen2::Move_GroupBoxs);

    // Over the panels the wheel scrolls the group, never a list under the pointer.
    CPG->viewport()->installEventFilter(this);
    for (QWidget *w : group->findChildren<QWidget *>())
        w->installEventFilter(this);
    group->installEventFilter(this);

    Order_TAB_Panels();
    Move_GroupBoxs();
    Set_Lang();
}

void TFParGen2::buildDeviceTypePanel()
{
    CP_Device_Type = new CollapsiblePanel(QStringLiteral("CP_Device_Type"));
    QWidget *body = CP_Device_Type->body();
    L_Device_Type_Type = addLabel(body, QStringLiteral("L_Device_Type_Type"), 0);
    CB_Device_Type_Type = addList(body, QStringLiteral("CB_Device_Type_Type"), 0,
                                  {QStringLiteral("Without Ethernet Port"), QStringLiteral("With Ethernet Port")});
}

void TFParGen2::buildCanPanel(CanControls &can, int port)
{
    const QString n = QString::number(port);
    can.panel = new CollapsiblePanel(QStringLiteral("CP_CAN") + n);
    QWidget *body = can.panel->body();
    can.dip = addCheck(body, QStringLiteral("CB_CAN%1_Baud_On_Dip").arg(n), 0, 300);
    can.baudLabel = addLabel(body, QStringLiteral("L_CAN%1_Baudrate").arg(n), 1);
    can.baud = addList(body, QStringLiteral("CB_CAN%1_Baudrate").arg(n), 1, bitRates());
    can.typeLabel = addLabel(body, QStringLiteral("L_CAN%1_Type").arg(n), 2);
    can.type = addList(body, QStringLiteral("CB_CAN%1_Type").arg(n), 2, frameTypes());
}

void TFParGen2::buildOptionsPanel()
{
    CP_Options = new CollapsiblePanel(QStringLiteral("CP_Options"));
    CB_Options_Positive_Implementation =
        addCheck(CP_Options->body(), QStringLiteral("CB_Options_Positive_Implementation"), 0, 300);
}

void TFParGen2::buildEthernetPanel()
{
    CP_Ethernet = new CollapsiblePanel(QStringLiteral("CP_Ethernet"));
    QWidget *body = CP_Ethernet->body();
    L_Ethernet_IP = addLabel(body, QStringLiteral("L_Ethernet_IP"), 0);
    E_Ethernet_IP = addByteFields(body, QStringLiteral("E_Ethernet_IP"), 0);
    L_Ethernet_SM = addLabel(body, QStringLiteral("L_Ethernet_SM"), 1);
    E_Ethernet_SM = addByteFields(body, QStringLiteral("E_Ethernet_SM"), 1);
    CB_Ethernet_En_GAT = addCheck(body, QStringLiteral("CB_Ethernet_En_GAT"), 2, LabelWidth);
    E_Ethernet_GAT = addByteFields(body, QStringLiteral("E_Ethernet_GAT"), 2);
    // The ports travel from reading to writing unchanged; the user never sees them.
    E_Ethernet_TCP_Port = new QLineEdit(body);
    E_Ethernet_TCP_Port->setObjectName(QStringLiteral("E_Ethernet_TCP_Port"));
    E_Ethernet_TCP_Port->setGeometry(ListLeft, rowTop(3), ListWidth, ListHeight);
    E_Ethernet_UDP_Port = new QLineEdit(body);
    E_Ethernet_UDP_Port->setObjectName(QStringLiteral("E_Ethernet_UDP_Port"));
    E_Ethernet_UDP_Port->setGeometry(ListLeft, rowTop(4), ListWidth, ListHeight);
}

void TFParGen2::Order_TAB_Panels()
{
    // Captions are composed once, here: a later language change leaves them as they are.
    const struct
    {
        CollapsiblePanel *panel;
        int text;
    } panels[] = {{CP_Device_Type, 906},
                  {m_can[0].panel, 909},
                  {m_can[1].panel, 916},
                  {CP_Options, 923},
                  {CP_Ethernet, 926}};
    int n = 1;
    for (const auto &p : panels) {
        p.panel->setCaption(QStringLiteral("%1. ").arg(n++) + m_catalog.text(p.text));
        p.panel->show();
    }
}

void TFParGen2::Set_Lang()
{
    const Catalog &t = m_catalog;
    setWindowTitle(t.text(900));
    L_SW_Desc->setText(t.text(901));
    L_SW_Desc->adjustSize();
    Btn_OK->setText(t.text(902));
    Btn_Cancel->setText(t.text(903));
    Btn_OK->setHint(t.text(904));
    Btn_Cancel->setHint(t.text(905));

    L_Device_Type_Type->setText(t.text(907));
    CB_Device_Type_Type->setToolTip(t.text(908));
    for (int port = 0; port < 2; ++port) {
        const int base = port == 0 ? 910 : 917;
        CanControls &can = m_can[port];
        can.dip->setText(t.text(base));
        can.dip->setToolTip(t.text(base + 1));
        can.baudLabel->setText(t.text(base + 2));
        can.baud->setToolTip(t.text(base + 3));
        can.typeLabel->setText(t.text(base + 4));
        can.type->setToolTip(t.text(base + 5));
    }
    CB_Options_Positive_Implementation->setText(t.text(924));
    CB_Options_Positive_Implementation->setToolTip(t.text(925));
    L_Ethernet_IP->setText(t.text(927));
    L_Ethernet_SM->setText(t.text(932));
    CB_Ethernet_En_GAT->setText(t.text(937));
    CB_Ethernet_En_GAT->setToolTip(t.text(938));
    for (int i = 0; i < 4; ++i) {
        E_Ethernet_IP[size_t(i)]->setToolTip(t.text(928 + i));
        E_Ethernet_SM[size_t(i)]->setToolTip(t.text(933 + i));
        E_Ethernet_GAT[size_t(i)]->setToolTip(t.text(939 + i));
    }
}

bool TFParGen2::prepareToShow()
{
    return FormShow();
}

bool TFParGen2::FormShow()
{
    // The values come from the very bytes stamped, so a write in between cannot slip past OK.
    DocumentStamp read;
    QByteArray bytes;
    QString error = read.read(m_state.File_ParGen, bytes, ParGen::MaxFileBytes);
    ParGenValues v = ParGen::valuesWithoutFile();
    if (error.isEmpty() && !read.isAbsent()) {
        QDomDocument doc;
        QDomNode root;
        if (DocumentXml::parseRoot(bytes, QDir::toNativeSeparators(m_state.File_ParGen), doc, root, error)
            == DocumentXml::Load::Loaded)
            v = ParGen::settingsWindowValues(root);
    }
    if (!error.isEmpty()) {
        prompt().error(this, error);
        return false;
    }
    m_stamp = read;
    setValues(v);
    return true;
}

void TFParGen2::setValues(const ParGenValues &v)
{
    // Filled with the layout signals held back: the rules run once, on the complete values.
    {
        const QSignalBlocker device(CB_Device_Type_Type), type0(m_can[0].type), type1(m_can[1].type),
            dip0(m_can[0].dip), dip1(m_can[1].dip);
        fillControls(v);
    }
    Move_GroupBoxs();
}

void TFParGen2::fillControls(const ParGenValues &v)
{
    CB_Device_Type_Type->setCurrentIndex(v.deviceType);
    m_can[0].baud->setCurrentIndex(v.boud0);
    m_can[1].baud->setCurrentIndex(v.boud1);
    m_can[0].type->setCurrentIndex(v.type);
    m_can[1].type->setCurrentIndex(v.typeC1);
    m_can[0].dip->setChecked(v.baudDipC0);
    m_can[1].dip->setChecked(v.baudDipC1);
    CB_Options_Positive_Implementation->setChecked(v.positive);
    for (size_t i = 0; i < 4; ++i) {
        E_Ethernet_IP[i]->setText(v.ip[i]);
        E_Ethernet_SM[i]->setText(v.subnetMask[i]);
        E_Ethernet_GAT[i]->setText(v.gateway[i]);
    }
    CB_Ethernet_En_GAT->setChecked(v.gatewayEnabled);
    E_Ethernet_TCP_Port->setText(v.tcpPort);
    E_Ethernet_UDP_Port->setText(v.udpPort);
}

ParGenValues TFParGen2::values() const
{
    ParGenValues v;
    v.deviceType = CB_Device_Type_Type->currentIndex();
    v.boud0 = m_can[0].baud->currentIndex();
    v.boud1 = m_can[1].baud->currentIndex();
    v.type = m_can[0].type->currentIndex();
    v.typeC1 = m_can[1].type->currentIndex();
    v.baudDipC0 = m_can[0].dip->isChecked();
    v.baudDipC1 = m_can[1].dip->isChecked();
    v.positive = CB_Options_Positive_Implementation->isChecked();
    for (size_t i = 0; i < 4; ++i) {
        v.ip[i] = E_Ethernet_IP[i]->text();
        v.subnetMask[i] = E_Ethernet_SM[i]->text();
        v.gateway[i] = E_Ethernet_GAT[i]->text();
    }
    v.gatewayEnabled = CB_Ethernet_En_GAT->isChecked();
    v.tcpPort = E_Ethernet_TCP_Port->text();
    v.udpPort = E_Ethernet_UDP_Port->text();
    return v;
}

bool TFParGen2::withEthernet() const
{
    return CB_Device_Type_Type->currentIndex() != 0;
}

void TFParGen2::fitPanel(CollapsiblePanel *panel, const QWidget *lowest)
{
    panel->setBodyHeight(lowest->geometry().bottom() + 1 + BottomMargin);
}

void TFParGen2::Move_GroupBoxs()
{
    RePosition_Object_Device_Type();
    RePosition_Object_CAN(m_can[0]);
    RePosition_Object_CAN(m_can[1]);
    RePosition_Object_Options();
    RePosition_Object_Ethernet();
}

void TFParGen2::RePosition_Object_Device_Type()
{
    fitPanel(CP_Device_Type, CB_Device_Type_Type);
}

void TFParGen2::RePosition_Object_CAN(CanControls &can)
{
    const bool dip = can.dip->isChecked();
    can.baudLabel->setVisible(!dip);
    can.baud->setVisible(!dip);
    if (withEthernet()) {
        can.typeLabel->hide();
        can.type->hide();
        fitPanel(can.panel, dip ? static_cast<QWidget *>(can.dip) : can.baud);
        return;
    }
    can.typeLabel->show();
    can.type->show();
    const int labelTop = can.baudLabel->y() + (dip ? 0 : RowPitch);
    can.typeLabel->move(can.typeLabel->x(), labelTop);
    can.type->move(can.type->x(), labelTop - LabelDrop);
    fitPanel(can.panel, can.type);
}

void TFParGen2::RePosition_Object_Options()
{
    QCheckBox *positive = CB_Options_Positive_Implementation;
    if (withEthernet() || m_can[0].type->currentIndex() == m_can[1].type->currentIndex()) {
        positive->setEnabled(true);
    } else {
        // Different frame types on the two ports need the replacement identifiers.
        positive->setEnabled(false);
        positive->setChecked(true);
    }
    fitPanel(CP_Options, positive);
}

void TFParGen2::RePosition_Object_Ethernet()
{
    CP_Ethernet->setVisible(withEthernet());
    E_Ethernet_TCP_Port->hide();
    E_Ethernet_UDP_Port->hide();
    fitPanel(CP_Ethernet, E_Ethernet_GAT[3]);
}

bool TFParGen2::Controllo_Dati()
{
    const QString message = ParGen::Controllo_Dati(values(), m_catalog);
    if (message.isEmpty())
        return true;
    prompt().error(this, message);
    return false;
}

void TFParGen2::Btn_OKClick()
{
    if (!Controllo_Dati())
        return;
    ProjectLock lock(m_state.Dir_Project);
    if (!lock.acquire()) {
        prompt().error(this, lock.refusal(m_catalog));
        return;
    }
    if (!mayOverwrite(this, m_catalog, m_stamp, m_state.File_ParGen, [this] { FormShow(); }))
        return;
    const ParGenValues saved = values();
    const QString error = ParGen::save(saved, m_state.File_ParGen);
    if (!error.isEmpty()) {
        prompt().error(this, error);
        return;
    }
    QByteArray written;
    if (ParGen::toBytes(saved, written).isEmpty())
        m_stamp.saved(written);
    done(ModalOk);
}

bool TFParGen2::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel) {
        FormMouseWheel(static_cast<QWheelEvent *>(event));
        return true;
    }
    return PraxDialog::eventFilter(watched, event);
}

void TFParGen2::FormMouseWheel(QWheelEvent *event)
{
    event->accept();
    const int lines = QApplication::wheelScrollLines();
    const auto step =
        event->angleDelta().y() > 0 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd;
    for (int i = 0; i < lines; ++i)
        CPG->verticalScrollBar()->triggerAction(step);
}

void TFParGen2::keyPressEvent(QKeyEvent *event)
{
    // Edits are left by OK, Cancel or the close box only; a stray Escape discards nothing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    PraxDialog::keyPressEvent(event);
}
