#include "ui/i18n/TFSoftOptions.h"

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "core/i18n/Language.h"
#include "core/i18n/LanguageList.h"
#include "ui/widgets/Links.h"
#include "ui/widgets/Prompt.h"
#include "ui/widgets/StyledButton.h"
#include "ui/widgets/WindowStyle.h"

#include <QApplication>
#include <QBitmap>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
constexpr int ClientWidth = 480;
constexpr int ClientHeight = 420;
constexpr int FlagSize = 48;

// A flag as the language page shows it: at most 48 x 48, its bottom-left colour
// transparent, as such pictures are drawn.
QPixmap flagPixmap(const QString &path)
{
    QImage image(path);
    if (image.isNull())
        return QPixmap();
    if (image.width() > FlagSize || image.height() > FlagSize)
        image = image.scaled(FlagSize, FlagSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setMask(pixmap.createMaskFromColor(QColor(image.pixel(0, image.height() - 1)), Qt::MaskInColor));
    return pixmap;
}
} // namespace

TFSoftOptions::TFSoftOptions(AppState &state, Catalog &catalog, QWidget *parent)
    : PraxDialog(parent)
    , m_state(state)
    , m_catalog(catalog)
{
    setObjectName(QStringLiteral("TFSoftOptions"));
    setClientSize(ClientWidth, ClientHeight);

    WindowStyle::createHeader(this, m_state.SW_Code, &L_SW_Code, &L_SW_Desc);

    PC_Options = new QTabWidget(this);
    PC_Options->setObjectName(QStringLiteral("PC_Options"));
    PC_Options->setGeometry(8, WindowStyle::HeaderHeight, ClientWidth - 16,
                            ClientHeight - WindowStyle::HeaderHeight - WindowStyle::ButtonPanelHeight);
    TS_Language = buildLanguagePage();
    TS_Con_Options = buildConnectionPage();
    TS_Soft_Settings = buildSettingsPage();
    PC_Options->addTab(TS_Language, QString());
    PC_Options->addTab(TS_Con_Options, QString());
    PC_Options->addTab(TS_Soft_Settings, QString());

    QWidget *panel = WindowStyle::createButtonPanel(this);
    Btn_OK = new StyledButton(QStringLiteral("Btn_OK"), StyledButton::Picture::Ok, panel);
    Btn_Cancel = new StyledButton(QStringLiteral("Btn_Cancel"), StyledButton::Picture::Cancel, panel);
    const int right = ClientWidth - 8;
    Btn_Cancel->setGeometry(right - WindowStyle::ButtonWidth, WindowStyle::ButtonTop, WindowStyle::ButtonWidth,
                            WindowStyle::ButtonHeight);
    Btn_OK->setGeometry(right - 2 * WindowStyle::ButtonWidth - 8, WindowStyle::ButtonTop, WindowStyle::ButtonWidth,
                        WindowStyle::ButtonHeight);
    Btn_OK->setDefault(true);
    connect(Btn_OK, &QAbstractButton::clicked, this, &TFSoftOptions::Btn_OKClick);
    connect(Btn_Cancel, &QAbstractButton::clicked, this, &TFSoftOptions::reject);

    Set_Lang();
}

QWidget *TFSoftOptions::buildLanguagePage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TS_Language"));
    auto *layout = new QVBoxLayout(page);

    L_Sel_Lang = new QLabel(page);
    L_Sel_Lang->setObjectName(QStringLiteral("L_Sel_Lang"));
    layout->addWidget(L_Sel_Lang);

    // Slots 1 to 3 fill the left column from the top, 4 to 6 the right one.
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    for (int k = 0; k < LanguageList::SlotsPerPage; ++k) {
        QLabel *picture = new QLabel(page);
        picture->setObjectName(QStringLiteral("I_L%1").arg(k + 1));
        picture->setFixedSize(FlagSize, FlagSize);
        picture->setAlignment(Qt::AlignCenter);
        QLabel *name = new QLabel(page);
        name->setObjectName(QStringLiteral("L_L%1").arg(k + 1));
        name->setMinimumWidth(140);
        for (QLabel *l : {picture, name}) {
            l->setCursor(Qt::PointingHandCursor);
            l->installEventFilter(this);
            QSizePolicy policy = l->sizePolicy();
            policy.setRetainSizeWhenHidden(true);
            l->setSizePolicy(policy);
        }
        I_L[k] = picture;
        L_L[k] = name;
        const int row = k % 3;
        const int column = (k / 3) * 2;
        grid->addWidget(picture, row, column);
        grid->addWidget(name, row, column + 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    layout->addLayout(grid);

    L_Page_Lang = new QLabel(page);
    L_Page_Lang->setObjectName(QStringLiteral("L_Page_Lang"));
    L_Page_Lang->setAlignment(Qt::AlignCenter);
    layout->addWidget(L_Page_Lang);
    layout->addStretch(1);

    auto *paging = new QHBoxLayout;
    Btn_Prev = new StyledButton(QStringLiteral("Btn_Prev"), StyledButton::Picture::Previous, page);
    Btn_Next = new StyledButton(QStringLiteral("Btn_Next"), StyledButton::Picture::Next, page);
    for (StyledButton *b : {Btn_Prev, Btn_Next}) {
        b->setFixedSize(WindowStyle::ButtonWidth, WindowStyle::ButtonHeight);
        QSizePolicy policy = b->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        b->setSizePolicy(policy);
        connect(b, &QAbstractButton::clicked, this, [this, b] { Btn_NextClick(b); });
    }
    paging->addWidget(Btn_Prev);
    paging->addStretch(1);
    paging->addWidget(Btn_Next);
    layout->addLayout(paging);
    return page;
}

QCheckBox *TFSoftOptions::addCheckBox(const QString &name, QWidget *parent)
{
    auto *box = new QCheckBox(parent);
    box->setObjectName(name);
    connect(box, &QCheckBox::toggled, this, &TFSoftOptions::CB_En_ConClick);
    return box;
}

QWidget *TFSoftOptions::buildConnectionPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TS_Con_Options"));
    auto *layout = new QVBoxLayout(page);

    CB_En_Con = addCheckBox(QStringLiteral("CB_En_Con"), page);
    layout->addWidget(CB_En_Con);
    CB_Update = addCheckBox(QStringLiteral("CB_Update"), page);
    auto *indented = new QHBoxLayout;
    indented->addSpacing(20);
    indented->addWidget(CB_Update, 1);
    layout->addLayout(indented);
    layout->addSpacing(12);

    Btn_Check_Update = new StyledButton(QStringLiteral("Btn_Check_Update"), StyledButton::Picture::Check, page);
    Btn_Check_Update->setMinimumHeight(WindowStyle::ButtonHeight);
    connect(Btn_Check_Update, &QAbstractButton::clicked, this, &TFSoftOptions::Btn_Check_UpdateClick);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(Btn_Check_Update);
    buttonRow->addStretch(1);
    layout->addLayout(buttonRow);

    LL_Check_Update = new QLabel(page);
    LL_Check_Update->setObjectName(QStringLiteral("LL_Check_Update"));
    LL_Check_Update->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    LL_Check_Update->setOpenExternalLinks(false);
    LL_Check_Update->hide();
    connect(LL_Check_Update, &QLabel::linkActivated, this, &TFSoftOptions::LL_Check_UpdateLinkClick);
    layout->addWidget(LL_Check_Update);
    layout->addStretch(1);
    return page;
}

QWidget *TFSoftOptions::buildSettingsPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TS_Soft_Settings"));
    auto *layout = new QVBoxLayout(page);
    CB_Soft_Set_Jump_Table = addCheckBox(QStringLiteral("CB_Soft_Set_Jump_Table"), page);
    CB_DoubleClick_Auto_Size = addCheckBox(QStringLiteral("CB_DoubleClick_Auto_Size"), page);
    layout->addWidget(CB_Soft_Set_Jump_Table);
    layout->addWidget(CB_DoubleClick_Auto_Size);
    layout->addStretch(1);
    return page;
}

void TFSoftOptions::Set_Lang()
{
    setWindowTitle(m_catalog.text(300));
    L_SW_Desc->setText(m_catalog.text(301));
    L_SW_Desc->adjustSize();
    PC_Options->setTabText(0, m_catalog.text(302));
    PC_Options->setTabText(1, m_catalog.text(303));
    PC_Options->setTabText(2, m_catalog.text(319));
    showSelectedLanguage();
    L_Page_Lang->setText(m_catalog.text(305) + QStringLiteral("1") + m_catalog.text(306) + QStringLiteral("1"));
    Btn_Prev->setText(m_catalog.text(307));
    Btn_Next->setText(m_catalog.text(308));
    CB_En_Con->setText(m_catalog.text(309));
    CB_Update->setText(m_catalog.text(310));
    Btn_Check_Update->setText(m_catalog.text(311));
    // As wide as its caption in the language chosen, whatever the page's layout made of it before.
    Btn_Check_Update->setMinimumWidth(Btn_Check_Update->sizeHint().width());
    CB_Soft_Set_Jump_Table->setText(m_catalog.text(320));
    CB_DoubleClick_Auto_Size->setText(m_catalog.text(321));
    Btn_OK->setText(m_catalog.text(312));
    Btn_Cancel->setText(m_catalog.text(313));
}

void TFSoftOptions::showSelectedLanguage()
{
    L_Sel_Lang->setText(m_catalog.text(304) + Language_In_Use);
}

void TFSoftOptions::showEvent(QShowEvent *event)
{
    // Restoring a minimised window is no new showing.
    if (!event->spontaneous())
        FormShow();
    PraxDialog::showEvent(event);
}

void TFSoftOptions::FormShow()
{
    Language_In_Use = m_state.Language_Sel;
    Create_Lang_List();
    LL_Check_Update->hide();
    PC_Options->setCurrentWidget(TS_Language);
    CB_En_Con->setChecked(m_state.Enable_Internet);
    CB_Update->setChecked(m_state.Enable_Update);
    CB_Soft_Set_Jump_Table->setChecked(m_state.Enable_Jump_Field_Tables);
    CB_DoubleClick_Auto_Size->setChecked(m_state.Double_Click_Auto_Size);
    Update_CheckBox();
}

void TFSoftOptions::Create_Lang_List()
{
    SL_Languages = LanguageList::Create_Lang_List(m_state.Dir_Language);
    Show_Page = 1;
    Update_Lang_Page(Show_Page);
}

void TFSoftOptions::Update_Lang_Page(int Num_Page)
{
    const int languages = int(SL_Languages.size());
    const int pages = LanguageList::pageCount(languages);
    showSelectedLanguage();
    L_Page_Lang->setText(m_catalog.text(305) + QString::number(Num_Page) + m_catalog.text(306)
                         + QString::number(pages));
    Btn_Prev->setVisible(Num_Page > 1);
    // With no language at all there is no next page either.
    Btn_Next->setVisible(Num_Page < pages);

    const int shown = LanguageList::slotsOnPage(languages, Num_Page);
    for (int k = 0; k < LanguageList::SlotsPerPage; ++k) {
        if (k >= shown) {
            I_L[k]->hide();
            L_L[k]->hide();
            continue;
        }
        const QString name = LanguageList::nameAt(SL_Languages, Num_Page, k + 1);
        L_L[k]->setText(name);
        L_L[k]->show();
        const QString flag = LanguageList::flagPath(m_state.Dir_Language, name);
        const QPixmap pixmap = flag.isEmpty() ? QPixmap() : flagPixmap(flag);
        I_L[k]->setPixmap(pixmap);
        I_L[k]->setVisible(!pixmap.isNull());
    }
}

void TFSoftOptions::Btn_NextClick(QAbstractButton *button)
{
    const int pages = LanguageList::pageCount(int(SL_Languages.size()));
    if (button == Btn_Next && pages >= Show_Page + 1)
        ++Show_Page;
    else if (button == Btn_Prev && Show_Page >= 2)
        --Show_Page;
    Update_Lang_Page(Show_Page);
}

void TFSoftOptions::LangClick(int slot)
{
    const QString name = LanguageList::nameAt(SL_Languages, Show_Page, slot);
    if (name.isEmpty())
        return;
    const QString question = m_catalog.text(316) + Language_In_Use + m_catalog.text(317) + name + m_catalog.text(318);
    if (!prompt().ask(this, question))
        return;

    // The texts change now; the choice is kept only if the window is confirmed.
    const QString previous = m_state.Language_Sel;
    m_state.Language_Sel = name;
    Language::Load_Language(m_catalog, m_state);
    // A file gone since the listing falls back to English: say what is really loaded.
    Language_In_Use = m_state.Language_Sel;
    m_state.Language_Sel = previous;

    if (m_changeLanguage)
        m_changeLanguage();
    else
        Set_Lang();
    Update_Lang_Page(Show_Page);
}

void TFSoftOptions::Update_CheckBox()
{
    CB_Update->setEnabled(CB_En_Con->isChecked());
    Btn_Check_Update->setEnabled(CB_Update->isEnabled() && CB_Update->isChecked());
}

void TFSoftOptions::CB_En_ConClick()
{
    Update_CheckBox();
}

bool TFSoftOptions::Check_Version()
{
    return m_versionCheck ? m_versionCheck() : false;
}

void TFSoftOptions::Btn_Check_UpdateClick()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool newer = Check_Version();
    QApplication::restoreOverrideCursor();
    if (newer) {
        LL_Check_Update->setTextFormat(Qt::RichText);
        LL_Check_Update->setText(
            QStringLiteral("<a href=\"%1\">%2</a>")
                .arg(Product::downloadPageUrl().toHtmlEscaped(), m_catalog.text(314).toHtmlEscaped()));
    } else {
        LL_Check_Update->setTextFormat(Qt::PlainText);
        LL_Check_Update->setText(m_catalog.text(315));
    }
    LL_Check_Update->show();
}

void TFSoftOptions::LL_Check_UpdateLinkClick(const QString &link)
{
    Links::open(QUrl(link));
}

void TFSoftOptions::Btn_OKClick()
{
    m_state.Language_Sel = Language_In_Use;
    m_state.Enable_Internet = CB_En_Con->isChecked();
    m_state.Enable_Update = CB_Update->isChecked();
    if (m_timerRule)
        m_timerRule();
    m_state.Enable_Jump_Field_Tables = CB_Soft_Set_Jump_Table->isChecked();
    m_state.Double_Click_Auto_Size = CB_DoubleClick_Auto_Size->isChecked();
    done(ModalOk);
}

bool TFSoftOptions::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int k = 0; k < LanguageList::SlotsPerPage; ++k) {
            if (watched == I_L[k] || watched == L_L[k]) {
                LangClick(k + 1);
                return true;
            }
        }
    }
    return PraxDialog::eventFilter(watched, event);
}
