#include "ui/update/TFBoot.h"

#include "core/app/AppState.h"
#include "core/app/SplitIpAddress.h"
#include "core/base/Catalog.h"
#include "core/update/HostResolver.h"
#include "core/update/IcmpEchoClient.h"
#include "core/update/IcmpPacket.h"
#include "core/update/JobFile.h"
#include "core/update/ProgramRunner.h"
#include "ui/widgets/Prompt.h"
#include "ui/widgets/StyledButton.h"
#include "ui/widgets/WindowStyle.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <exception>

namespace {
constexpr int ClientWidth = 449;
constexpr int AddressPanelHeight = 49;
constexpr int OptionsPanelHeight = 72;
constexpr int FieldWidth = 41;
constexpr int FieldHeight = 21;
constexpr int UpdateButtonWidth = 200; // the caption does not fit the usual 110 px

QWidget *addPanel(QWidget *parent, const QString &name, int top, int height)
{
    auto *panel = new QWidget(parent);
    panel->setObjectName(name);
    panel->setGeometry(0, top, ClientWidth, height);
    return panel;
}

QLabel *addLabel(QWidget *parent, const QString &name, int x, int y)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->move(x, y);
    return label;
}
} // namespace

TFBoot::TFBoot(AppState &state, Catalog &catalog, QWidget *parent)
    : PraxDialog(parent)
    , m_state(state)
    , m_catalog(catalog)
    , m_systemEcho(std::make_unique<IcmpEchoClient>())
    , m_systemRunner(std::make_unique<SystemProgramRunner>())
    , m_systemResolver(std::make_unique<SystemHostResolver>())
{
    setObjectName(QStringLiteral("TFBoot"));
    m_echo = m_systemEcho.get();
    m_runner = m_systemRunner.get();
    m_resolver = m_systemResolver.get();

    const int height =
        WindowStyle::HeaderHeight + AddressPanelHeight + OptionsPanelHeight + WindowStyle::ButtonPanelHeight;
    setClientSize(ClientWidth, height);

    P_Title = WindowStyle::createHeader(this, m_state.SW_Code, &L_SW_Code, &L_SW_Desc);

    P_IP_Address = addPanel(this, QStringLiteral("P_IP_Address"), WindowStyle::HeaderHeight, AddressPanelHeight);
    L_IP_Address = addLabel(P_IP_Address, QStringLiteral("L_IP_Address"), 16, 17);
    int x = 232;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            QLabel *dot = addLabel(P_IP_Address, QStringLiteral("L_Dot%1").arg(i), x, 17);
            dot->setText(QStringLiteral("."));
            dot->setFixedWidth(12);
            dot->setAlignment(Qt::AlignHCenter);
            x += 12;
        }
        E_IP[i] = new QLineEdit(QStringLiteral("0"), P_IP_Address);
        E_IP[i]->setObjectName(QStringLiteral("E_IP%1").arg(i + 1));
        E_IP[i]->setGeometry(x, 14, FieldWidth, FieldHeight);
        E_IP[i]->installEventFilter(this);
        x += FieldWidth;
    }

    const int optionsTop = WindowStyle::HeaderHeight + AddressPanelHeight;
    P_Options = addPanel(this, QStringLiteral("P_Options"), optionsTop, OptionsPanelHeight);
    L_Update_Option = addLabel(P_Options, QStringLiteral("L_Update_Option"), 16, 10);
    CB_Update_Options = new QComboBox(P_Options);
    CB_Update_Options->setObjectName(QStringLiteral("CB_Update_Options"));
    CB_Update_Options->setEditable(false);
    CB_Update_Options->setGeometry(16, 30, 200, 22);
    CB_Update_Option_Read_Back = new QCheckBox(P_Options);
    CB_Update_Option_Read_Back->setObjectName(QStringLiteral("CB_Update_Option_Read_Back"));
    CB_Update_Option_Read_Back->setGeometry(232, 30, 200, 22);
    L_Status = new QLabel(P_Options);
    L_Status->setObjectName(QStringLiteral("L_Status"));
    L_Status->setGeometry(16, 54, ClientWidth - 32, 16);

    P_Button = WindowStyle::createButtonPanel(this);
    const int updateX = ClientWidth - 8 - UpdateButtonWidth;
    Btn_Cancel = new StyledButton(QStringLiteral("Btn_Cancel"), StyledButton::Picture::Cancel, P_Button);
    Btn_Cancel->setGeometry(updateX - 8 - WindowStyle::ButtonWidth, WindowStyle::ButtonTop, WindowStyle::ButtonWidth,
                            WindowStyle::ButtonHeight);
    Btn_Update = new StyledButton(QStringLiteral("Btn_Update"), StyledButton::Picture::Update, P_Button);
    Btn_Update->setGeometry(updateX, WindowStyle::ButtonTop, UpdateButtonWidth, WindowStyle::ButtonHeight);
    Btn_Update->setAutoDefault(false);
    Btn_Cancel->setAutoDefault(false);
    connect(Btn_Cancel, &QAbstractButton::clicked, this, &TFBoot::reject);
    connect(Btn_Update, &QAbstractButton::clicked, this, &TFBoot::Btn_UpdateClick);

    // Address panel, options panel, button panel.
    QWidget *order[] = {E_IP[0],    E_IP[1],   E_IP[2], E_IP[3], CB_Update_Options, CB_Update_Option_Read_Back,
                        Btn_Cancel, Btn_Update};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    Set_Lang();
}

TFBoot::~TFBoot() = default;

void TFBoot::setEchoClient(EchoClient *client)
{
    m_echo = client ? client : m_systemEcho.get();
}

void TFBoot::setPingTiming(PingTest::Clock clock, PingTest::Pause pause)
{
    m_clock = std::move(clock);
    m_pause = std::move(pause);
}

void TFBoot::setProgramRunner(ProgramRunner *runner)
{
    m_runner = runner ? runner : m_systemRunner.get();
}

void TFBoot::setHostResolver(HostResolver *resolver)
{
    m_resolver = resolver ? resolver : m_systemResolver.get();
}

void TFBoot::Set_Lang()
{
    setWindowTitle(m_catalog.text(602));
    L_SW_Desc->setText(m_catalog.text(603));
    L_SW_Desc->adjustSize();
    L_IP_Address->setText(m_catalog.text(606));
    L_IP_Address->adjustSize();
    for (int i = 0; i < 4; ++i)
        E_IP[i]->setToolTip(m_catalog.text(621 + i));
    L_Update_Option->setText(m_catalog.text(614));
    L_Update_Option->adjustSize();
    CB_Update_Options->clear();
    CB_Update_Options->addItems({m_catalog.text(615), m_catalog.text(616), m_catalog.text(617)});
    CB_Update_Options->setCurrentIndex(0);
    CB_Update_Options->setToolTip(m_catalog.text(632));
    CB_Update_Option_Read_Back->setText(m_catalog.text(618));
    CB_Update_Option_Read_Back->setToolTip(m_catalog.text(633));
    Btn_Cancel->setText(m_catalog.text(619));
    Btn_Cancel->setHint(m_catalog.text(634));
    Btn_Update->setText(m_catalog.text(620));
    Btn_Update->setHint(m_catalog.text(635));
}

void TFBoot::showEvent(QShowEvent *event)
{
    FormShow();
    PraxDialog::showEvent(event);
}

void TFBoot::FormShow()
{
    Set_Lang();
    L_SW_Code->setText(m_state.SW_Code);
    L_SW_Code->adjustSize();

    QStringList parts;
    if (!m_state.IP_Device.isEmpty() && Split_IP_Address(m_state.IP_Device, &parts)) {
        for (int i = 0; i < 4; ++i)
            E_IP[i]->setText(parts.at(i));
    }
    const bool known = m_state.Update_Option >= 0 && m_state.Update_Option < CB_Update_Options->count();
    CB_Update_Options->setCurrentIndex(known ? m_state.Update_Option : 0);
    CB_Update_Option_Read_Back->setChecked(m_state.Read_Back);
    if (!m_busy)
        setStatus(QString());
    E_IP[0]->setFocus();
}

bool TFBoot::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        for (int i = 0; i < 4; ++i) {
            if (watched != E_IP[i] || key->text() != u".")
                continue;
            if (i < 3 && E_IP[i + 1]->isEnabled() && E_IP[i + 1]->isVisible()
                && E_IP[i + 1]->focusPolicy() != Qt::NoFocus)
                E_IP[i + 1]->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return PraxDialog::eventFilter(watched, event);
}

QStringList TFBoot::ipFields() const
{
    QStringList fields;
    for (const QLineEdit *field : E_IP)
        fields.append(field->text());
    return fields;
}

void TFBoot::reject()
{
    // The echo test handles events while it runs; closing the window under it is not allowed.
    if (m_busy)
        return;
    PraxDialog::reject();
}

void TFBoot::setBusy(bool busy)
{
    if (!busy) {
        // Clicks made while the update tool blocked the window are still queued; they must
        // reach disabled controls, not start the next update.
        QCoreApplication::processEvents();
    }
    if (busy != m_busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    }
    m_busy = busy;
    for (QWidget *w : {P_IP_Address, P_Options, static_cast<QWidget *>(Btn_Cancel), static_cast<QWidget *>(Btn_Update)})
        w->setEnabled(!busy);
}

void TFBoot::setStatus(const QString &text)
{
    L_Status->setText(text);
    // Painted now: the update tool's wait handles no events.
    L_Status->repaint();
}

bool TFBoot::resolveTarget(QString *target)
{
    *target = ipFields().join(u'.');
    if (IcmpPacket::numericIpv4(*target) || IcmpPacket::looksNumeric(*target))
        return true;
    // Shared with the answer, which may come after this wait gave up.
    struct Answer
    {
        bool arrived = false;
        QString address;
        QEventLoop loop;
    };
    auto answer = std::make_shared<Answer>();
    m_resolver->lookup(*target, this, [answer](const QString &address, const QString &) {
        answer->arrived = true;
        answer->address = address;
        answer->loop.quit();
    });
    if (!answer->arrived) {
        QTimer::singleShot(ResolveLimitMs, &answer->loop, &QEventLoop::quit);
        answer->loop.exec();
    }
    if (!answer->arrived)
        m_resolver->cancel();
    if (answer->address.isEmpty())
        return false;
    *target = answer->address;
    return true;
}

bool TFBoot::Send_Ping()
{
    ping_res = PingTest::NoStatus;
    QString target;
    if (!resolveTarget(&target))
        return false;
    PingTest test(*m_echo, m_clock, m_pause);
    const bool answered = test.Send_Ping(target);
    ping_res = test.ping_res;
    return answered;
}

QString TFBoot::Compile_XML_Parameter()
{
    JobFile::Job job;
    job.ipFields = ipFields();
    job.option = CB_Update_Options->currentIndex();
    job.readBack = CB_Update_Option_Read_Back->isChecked();
    job.dirExe = m_state.Dir_Exe;
    job.dirMaster = m_state.Dir_Master;
    job.dirProject = m_state.Dir_Project;
    return JobFile::Compile_XML_Parameter(job);
}

void TFBoot::Btn_UpdateClick()
{
    if (m_busy)
        return;
    setBusy(true);
    int kind = int(Prompt::Kind::Error);
    QString message;
    try {
        runUpdate(&kind, &message);
    } catch (const std::exception &e) {
        message = QString::fromLocal8Bit(e.what());
    }
    setBusy(false);
    // Told once the wait cursor is gone and the window takes input again.
    if (message.isEmpty())
        return;
    if (kind == int(Prompt::Kind::Warning))
        prompt().warning(this, message);
    else
        prompt().error(this, message);
}

void TFBoot::runUpdate(int *kind, QString *message)
{
    setStatus(m_catalog.text(TextId::UpdateTesting));
    if (!Send_Ping()) {
        setStatus(QString());
        if (ping_res == PingTest::NotAnswered) {
            *kind = int(Prompt::Kind::Warning);
            *message = m_catalog.text(636);
        } else {
            *message = m_catalog.text(637);
        }
        return;
    }

    m_state.IP_Device = ipFields().join(u'.');
    m_state.Update_Option = CB_Update_Options->currentIndex();
    m_state.Read_Back = CB_Update_Option_Read_Back->isChecked();

    const QString error = Compile_XML_Parameter();
    if (!error.isEmpty()) {
        setStatus(QString());
        *message = error;
        return;
    }
    const QString tool = joinPath(m_state.Dir_Exe, QStringLiteral("Lanvesk.exe"));
    setStatus(m_catalog.text(TextId::UpdateWaiting));
    // The wait handles no events; let the status and the cursor reach the screen first.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    switch (m_runner->Start_Program(tool, QString(), false)) {
    case ProgramRunner::Outcome::NotStarted:
        setStatus(QString());
        *message = m_catalog.text(QFileInfo(tool).isFile() ? TextId::UpdateToolNotStarted : TextId::UpdateToolMissing)
            + QDir::toNativeSeparators(tool);
        return;
    case ProgramRunner::Outcome::Ended:
        setStatus(m_catalog.text(TextId::UpdateToolEnded));
        return;
    case ProgramRunner::Outcome::LimitPassed:
        setStatus(m_catalog.text(TextId::UpdateToolTimeout));
        return;
    }
}
