#include "ui/projects/TFOpenConf.h"

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "core/projects/ProjectStore.h"
#include "ui/widgets/StyledButton.h"
#include "ui/widgets/WindowStyle.h"

#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>

namespace {
constexpr int Margin = 16;
constexpr int ListTop = 94;
constexpr int ListGap = 6; // between the list and the button panel
constexpr int ButtonGap = 8;
} // namespace

TFOpenConf::TFOpenConf(AppState &state, Catalog &catalog, QWidget *parent)
    : PraxDialog(parent)
    , m_state(state)
    , m_catalog(catalog)
{
    setObjectName(QStringLiteral("TFOpenConf"));
    setClientSize(377, 351, true);
    setMinimumSize(2 * Margin + 2 * WindowStyle::ButtonWidth + ButtonGap,
                   ListTop + 40 + WindowStyle::ButtonPanelHeight);

    P_Title = WindowStyle::createHeader(this, m_state.SW_Code, nullptr, &L_SW_Desc);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(Margin, 70);

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(ListBox1, &QListWidget::currentRowChanged, this, &TFOpenConf::ListBox1Click);
    // A double click picks and confirms in one go.
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        Name_Conf = item->text();
        done(ModalOk);
    });

    P_Button = WindowStyle::createButtonPanel(this);
    Btn_OK = new StyledButton(QStringLiteral("Btn_OK"), StyledButton::Picture::Ok, P_Button);
    Btn_Cancel = new StyledButton(QStringLiteral("Btn_Cancel"), StyledButton::Picture::Cancel, P_Button);
    Btn_OK->setDefault(true);
    connect(Btn_OK, &QAbstractButton::clicked, this, [this] { done(ModalOk); });
    connect(Btn_Cancel, &QAbstractButton::clicked, this, [this] { done(ModalCancel); });

    placeControls();
    Set_Lang();
}

void TFOpenConf::Set_Lang()
{
    setWindowTitle(m_catalog.text(200));
    L_SW_Desc->setText(m_catalog.text(201));
    L_SW_Desc->adjustSize();
    Label1->setText(m_catalog.text(202));
    Label1->adjustSize();
    Btn_OK->setText(m_catalog.text(203));
    Btn_Cancel->setText(m_catalog.text(204));
    ListBox1->setToolTip(m_catalog.text(205));
    Btn_OK->setHint(m_catalog.text(206));
    Btn_Cancel->setHint(m_catalog.text(207));
}

void TFOpenConf::placeControls()
{
    const int w = width();
    const int h = height();
    P_Title->setGeometry(0, 0, w, WindowStyle::HeaderHeight);
    P_Button->setGeometry(0, h - WindowStyle::ButtonPanelHeight, w, WindowStyle::ButtonPanelHeight);
    const int cancelLeft = w - Margin - WindowStyle::ButtonWidth;
    Btn_Cancel->setGeometry(cancelLeft, WindowStyle::ButtonTop, WindowStyle::ButtonWidth, WindowStyle::ButtonHeight);
    Btn_OK->setGeometry(cancelLeft - ButtonGap - WindowStyle::ButtonWidth, WindowStyle::ButtonTop,
                        WindowStyle::ButtonWidth, WindowStyle::ButtonHeight);
    ListBox1->setGeometry(Margin, ListTop, qMax(0, w - 2 * Margin), qMax(0, P_Button->y() - ListGap - ListTop));
}

void TFOpenConf::resizeEvent(QResizeEvent *event)
{
    PraxDialog::resizeEvent(event);
    placeControls();
}

void TFOpenConf::showEvent(QShowEvent *event)
{
    FormShow();
    PraxDialog::showEvent(event);
}

void TFOpenConf::FormShow()
{
    const QStringList names = ProjectStore::Load_Existing_Configuration(m_state.Dir_Projects);
    const int row = ProjectStore::preselect(names, ProjectStore::currentName(m_state));
    {
        const QSignalBlocker quiet(ListBox1);
        ListBox1->clear();
        ListBox1->addItems(names);
        ListBox1->setCurrentRow(row);
    }
    // With an empty list Name_Conf keeps the name chosen at an earlier showing.
    if (row >= 0)
        Name_Conf = names.at(row);
    ListBox1->setFocus();
}

void TFOpenConf::ListBox1Click(int row)
{
    if (row >= 0 && row < ListBox1->count())
        Name_Conf = ListBox1->item(row)->text();
}
