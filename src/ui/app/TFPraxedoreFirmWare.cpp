#include "ui/app/TFPraxedoreFirmWare.h"

#include "core/app/AppState.h"
#include "core/app/SettingsFile.h"
#include "core/base/Catalog.h"
#include "core/config/SelectType.h"
#include "core/image/ProjectBuild.h"
#include "core/start/StartSequence.h"
#include "ui/app/TFAbout.h"
#include "ui/config/TFParGen2.h"
#include "ui/config/TFSetCobIDAccess.h"
#include "ui/i18n/TFSoftOptions.h"
#include "ui/image/TFModifyFileSx.h"
#include "ui/projects/TFNew_Project.h"
#include "ui/projects/TFOpenConf.h"
#include "ui/update/TFBoot.h"
#include "ui/widgets/Links.h"
#include "ui/widgets/Prompt.h"
#include "ui/widgets/StyledButton.h"
#include "ui/widgets/WindowStyle.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

#include <exception>

namespace {
constexpr int FirstCheckMs = 60000;
constexpr int LaterChecksMs = 7200000;
constexpr int StepTop = 112;
constexpr int StepPitch = 44;
} // namespace

TFPraxedoreFirmWare::TFPraxedoreFirmWare(AppState &state, Catalog &catalog, const QString &exeDir, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_state(state)
    , m_catalog(catalog)
{
    setObjectName(QStringLiteral("TFPraxedoreFirmWare"));
    WindowStyle::apply(this);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer_Update"));
    m_timer->setInterval(FirstCheckMs);
    connect(m_timer, &QTimer::timeout, this, &TFPraxedoreFirmWare::Timer_UpdateTimer);

    // Controls and client size.
    const int lastStepTop = StepTop + 3 * StepPitch;
    setFixedSize(694, lastStepTop + 152);

    QPalette grey = palette();
    grey.setColor(QPalette::WindowText, WindowStyle::headerGrey());

    L_SW_Code = addLabel(QStringLiteral("L_SW_Code"), 16, 8, false);
    L_SW_Code->setFont(WindowStyle::codeFont());
    L_SW_Desc = addLabel(QStringLiteral("L_SW_Desc"), 16, 42, true);

    LL_Update = new QLabel(this);
    LL_Update->setObjectName(QStringLiteral("LL_Update"));
    LL_Update->setGeometry(208, 19, 294, 17);
    LL_Update->setTextFormat(Qt::RichText);
    LL_Update->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    LL_Update->setOpenExternalLinks(false);
    LL_Update->hide();
    connect(LL_Update, &QLabel::linkActivated, this, &TFPraxedoreFirmWare::LL_UpdateLinkClick);

    Btn_Info = addButton(QStringLiteral("Btn_Info"), 516, 8, 50, 50);
    Btn_Info->setPicture(StyledButton::Picture::Info);
    Btn_Opz = addButton(QStringLiteral("Btn_Opz"), 574, 8, 50, 50);
    Btn_Opz->setPicture(StyledButton::Picture::Options);
    Btn_Close = addButton(QStringLiteral("Btn_Close"), 632, 8, 50, 50);
    Btn_Close->setPicture(StyledButton::Picture::Close);
    for (StyledButton *b : {Btn_Info, Btn_Opz, Btn_Close}) {
        b->setIconSize(QSize(32, 32));
        b->setFlat(true); // framed only while hot or pressed
    }

    L_Begin = addLabel(QStringLiteral("L_Begin"), 16, 84, true);
    auto *shape2 = new QFrame(this);
    shape2->setObjectName(QStringLiteral("Shape2"));
    shape2->setGeometry(80, 70, 348, 36);
    shape2->setStyleSheet(
        QStringLiteral("QFrame#Shape2 { border: 1px solid rgb(192, 192, 192); background: transparent; }"));
    L_Name_Conf = addLabel(QStringLiteral("L_Name_Conf"), 87, 75, false);
    L_Name_Conf_L2 = addLabel(QStringLiteral("L_Name_Conf_L2"), 87, 88, false);
    shape2->lower();

    L_Step_1 = addLabel(QStringLiteral("L_Step_1"), 16, StepTop + 16, true);
    Btn_New = addButton(QStringLiteral("Btn_New"), 80, StepTop, 170, 36);
    Btn_New->setPicture(StyledButton::Picture::New);
    Btn_Open = addButton(QStringLiteral("Btn_Open"), 258, StepTop, 170, 36);
    Btn_Open->setPicture(StyledButton::Picture::Open);
    L_Step_2 = addLabel(QStringLiteral("L_Step_2"), 16, StepTop + StepPitch + 16, true);
    Btn_Prm_Gen = addButton(QStringLiteral("Btn_Prm_Gen"), 80, StepTop + StepPitch, 170, 36);
    Btn_Prm_Gen->setPicture(StyledButton::Picture::Communication);
    L_Step_3 = addLabel(QStringLiteral("L_Step_3"), 16, StepTop + 2 * StepPitch + 16, true);
    Btn_SetCobIDAccess = addButton(QStringLiteral("Btn_SetCobIDAccess"), 80, StepTop + 2 * StepPitch, 170, 36);
    Btn_SetCobIDAccess->setPicture(StyledButton::Picture::Filter);
    L_Step_4 = addLabel(QStringLiteral("L_Step_4"), 16, lastStepTop + 16, true);
    Btn_CreateBin = addButton(QStringLiteral("Btn_CreateBin"), 80, lastStepTop, 170, 36);
    Btn_CreateBin->setPicture(StyledButton::Picture::Update);
    for (StyledButton *b : {Btn_New, Btn_Open, Btn_Prm_Gen, Btn_SetCobIDAccess, Btn_CreateBin}) {
        b->setCaptionAlignment(Qt::AlignLeft);
        b->setIconSize(QSize(24, 24));
    }

    L_Velmor = addLabel(QStringLiteral("L_Velmor"), 565, L_Step_4->y(), true);
    L_Velmor->setText(Product::vendorHost());
    L_Velmor->adjustSize();
    WindowStyle::keepInside(L_Velmor, 4, 440);
    L_Velmor->setCursor(Qt::PointingHandCursor);
    L_Velmor->installEventFilter(this);

    auto *shape1 = new QFrame(this);
    shape1->setObjectName(QStringLiteral("Shape1"));
    shape1->setGeometry(10, lastStepTop + 51, 674, 1);
    shape1->setStyleSheet(QStringLiteral("background: rgb(192, 192, 192);"));

    // Start sequence.
    const StartSequence::Outcome outcome = StartSequence::run(m_state, m_catalog, exeDir);
    if (outcome.timerEnabled)
        m_timer->start();
    setWindowTitle(m_state.Title_SW);
    L_SW_Code->setText(m_state.SW_Code);
    L_SW_Code->adjustSize();
    L_SW_Desc->setText(m_state.SW_Desc);
    L_SW_Desc->adjustSize();
    showActiveConfiguration();
    Set_Lang();

    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TFPraxedoreFirmWare::~TFPraxedoreFirmWare() = default;

StyledButton *TFPraxedoreFirmWare::addButton(const QString &name, int x, int y, int w, int h)
{
    auto *b = new StyledButton(name, StyledButton::Picture::None, this);
    b->setGeometry(x, y, w, h);
    connect(b, &QAbstractButton::clicked, this, [this, b] {
        // Whatever goes wrong inside one operation ends that operation only.
        try {
            Btn_Click(b);
        } catch (const std::exception &e) {
            prompt().error(this, QString::fromLocal8Bit(e.what()));
        }
    });
    return b;
}

QLabel *TFPraxedoreFirmWare::addLabel(const QString &name, int x, int y, bool bold)
{
    auto *l = new QLabel(this);
    l->setObjectName(name);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, WindowStyle::headerGrey());
    l->setPalette(pal);
    if (bold) {
        QFont f = WindowStyle::baseFont();
        f.setBold(true);
        l->setFont(f);
    }
    l->move(x, y);
    return l;
}

void TFPraxedoreFirmWare::showActiveConfiguration()
{
    if (m_state.projectOpen()) {
        L_Name_Conf->setText(m_catalog.text(11));
        // A long name is shortened inside the frame (80..428), the whole of it as tooltip.
        const int room = 428 - 2 - L_Name_Conf_L2->x();
        const QString shown = L_Name_Conf_L2->fontMetrics().elidedText(m_state.Name_Project, Qt::ElideMiddle, room);
        L_Name_Conf_L2->setText(shown);
        L_Name_Conf_L2->setToolTip(shown == m_state.Name_Project ? QString() : m_state.Name_Project);
    } else {
        L_Name_Conf->setText(m_catalog.text(9));
        L_Name_Conf_L2->setText(m_catalog.text(10));
        L_Name_Conf_L2->setToolTip(QString());
    }
    L_Name_Conf->adjustSize();
    L_Name_Conf_L2->adjustSize();
}

void TFPraxedoreFirmWare::Set_Lang()
{
    const auto setText = [this](QLabel *l, int index) {
        l->setText(m_catalog.text(index));
        l->adjustSize();
    };
    setText(L_Begin, 0);
    setText(L_Step_1, 1);
    setText(L_Step_2, 2);
    setText(L_Step_3, 3);
    setText(L_Step_4, 4);
    Btn_New->setText(m_catalog.text(15));
    Btn_Open->setText(m_catalog.text(16));
    Btn_Prm_Gen->setText(m_catalog.text(20));
    Btn_SetCobIDAccess->setText(m_catalog.text(21));
    Btn_CreateBin->setText(m_catalog.text(29));
    Btn_Info->setHint(m_catalog.text(12));
    Btn_Opz->setHint(m_catalog.text(13));
    Btn_Close->setHint(m_catalog.text(14));
    Btn_New->setHint(m_catalog.text(22));
    Btn_Open->setHint(m_catalog.text(23));
    Btn_Prm_Gen->setHint(m_catalog.text(24));
    Btn_SetCobIDAccess->setHint(m_catalog.text(25));
    Btn_CreateBin->setHint(m_catalog.text(31));
}

void TFPraxedoreFirmWare::Change_Language()
{
    Set_Lang();
    if (m_windows.boot)
        m_windows.boot->Set_Lang();
    if (m_windows.newProject)
        m_windows.newProject->Set_Lang();
    if (m_windows.openConf)
        m_windows.openConf->Set_Lang();
    if (m_windows.softOptions)
        m_windows.softOptions->Set_Lang();
    if (m_windows.setCobIDAccess)
        m_windows.setCobIDAccess->Set_Lang();
    if (m_windows.parGen2)
        m_windows.parGen2->Set_Lang();
}

void TFPraxedoreFirmWare::Btn_Click(QAbstractButton *button)
{
    if (button == Btn_New) {
        Create_New_Project();
    } else if (button == Btn_Open) {
        Open_Project();
    } else if (button == Btn_Close) {
        close();
    } else if (button == Btn_Info) {
        if (m_windows.about)
            m_windows.about->exec();
    } else if (button == Btn_Opz) {
        if (m_windows.softOptions && m_windows.softOptions->exec() == PraxDialog::ModalOk) {
            Save_Setting();
            applyTimerRule();
        }
    } else if (!m_state.projectOpen()) {
        prompt().error(this, m_catalog.text(18));
    } else if (button == Btn_Prm_Gen) {
        if (m_windows.parGen2)
            m_windows.parGen2->exec();
    } else if (button == Btn_SetCobIDAccess) {
        if (m_windows.setCobIDAccess)
            m_windows.setCobIDAccess->exec();
    } else if (button == Btn_CreateBin) {
        Update_Device();
    }
}

void TFPraxedoreFirmWare::Create_New_Project()
{
    if (m_windows.newProject && m_windows.newProject->exec() == PraxDialog::ModalOk)
        showActiveConfiguration();
}

void TFPraxedoreFirmWare::Open_Project()
{
    if (!m_windows.openConf || m_windows.openConf->exec() != PraxDialog::ModalOk)
        return;
    m_state.Name_Project = m_windows.openConf->Name_Conf;
    // An empty confirmation leaves no project open instead of pointing at PROJECTS itself.
    m_state.Dir_Project =
        m_state.Name_Project.isEmpty() ? QString() : joinPath(m_state.Dir_Projects, m_state.Name_Project);
    showActiveConfiguration();
    Set_Files(m_state);
}

void TFPraxedoreFirmWare::Update_Device()
{
    const QString buildError = ProjectBuild::buildAndWrite(m_state);
    if (!buildError.isEmpty()) {
        prompt().error(this, buildError);
        return;
    }
    QString typeError;
    const int type = Select_Type(m_state.File_ParGen, &typeError);
    if (!typeError.isEmpty()) {
        prompt().error(this, typeError);
        return;
    }
    if (type == 1) {
        if (m_windows.boot) {
            m_windows.boot->Form_Type = 1;
            m_windows.boot->exec();
        }
    } else if (m_windows.modifyFileSx) {
        m_windows.modifyFileSx->exec();
    }
}

void TFPraxedoreFirmWare::Save_Setting()
{
    // A failed save must not keep the program from closing, but the user learns about it.
    const QString error = SettingsFile::write(m_state, StartSequence::settingsPath(m_state));
    if (!error.isEmpty())
        prompt().error(this, error);
}

void TFPraxedoreFirmWare::applyTimerRule()
{
    // Enabling a running timer must not push its next check further away.
    if (m_state.Enable_Internet && m_state.Enable_Update) {
        if (!m_timer->isActive())
            m_timer->start();
    } else
        m_timer->stop();
}

void TFPraxedoreFirmWare::Timer_UpdateTimer()
{
    m_timer->stop();
    bool newer = false;
    try {
        newer = m_versionCheck && m_versionCheck();
    } catch (const std::exception &e) {
        // A failed check is reported and the next one is still scheduled.
        prompt().error(this, QString::fromLocal8Bit(e.what()));
    }
    if (newer) {
        LL_Update->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                               .arg(Product::downloadPageUrl(), m_catalog.text(19).toHtmlEscaped()));
        LL_Update->show();
    } else {
        LL_Update->hide();
    }
    m_timer->setInterval(LaterChecksMs);
    m_timer->start();
}

void TFPraxedoreFirmWare::LL_UpdateLinkClick(const QString &link)
{
    Links::open(QUrl(link));
}

void TFPraxedoreFirmWare::L_VelmorClick()
{
    Links::open(QUrl(Product::homePageUrl()));
}

bool TFPraxedoreFirmWare::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == L_Velmor && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        L_VelmorClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TFPraxedoreFirmWare::closeEvent(QCloseEvent *event)
{
    Save_Setting();
    event->accept();
}
