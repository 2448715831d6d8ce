#include "ui/projects/TFNew_Project.h"

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "core/projects/ProjectStore.h"
#include "ui/widgets/Prompt.h"
#include "ui/widgets/StyledButton.h"
#include "ui/widgets/WindowStyle.h"

#include <QLabel>
#include <QLineEdit>

TFNew_Project::TFNew_Project(AppState &state, Catalog &catalog, QWidget *parent)
    : PraxDialog(parent)
    , m_state(state)
    , m_catalog(catalog)
{
    setObjectName(QStringLiteral("TFNew_Project"));
    setClientSize(331, 162);

    WindowStyle::createHeader(this, m_state.SW_Code, nullptr, &L_SW_Desc);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(16, 70);

    E_New_Proj = new QLineEdit(this);
    E_New_Proj->setObjectName(QStringLiteral("E_New_Proj"));
    E_New_Proj->setGeometry(16, 94, 297, 21);
    // Enter in the field is the OK button; the buttons themselves never take Enter.
    connect(E_New_Proj, &QLineEdit::returnPressed, this, &TFNew_Project::Btn_OKClick);

    QWidget *panel = WindowStyle::createButtonPanel(this);
    Btn_OK = new StyledButton(QStringLiteral("Btn_OK"), StyledButton::Picture::Ok, panel);
    Btn_OK->setGeometry(85, WindowStyle::ButtonTop, WindowStyle::ButtonWidth, WindowStyle::ButtonHeight);
    Btn_Cancel = new StyledButton(QStringLiteral("Btn_Cancel"), StyledButton::Picture::Cancel, panel);
    Btn_Cancel->setGeometry(203, WindowStyle::ButtonTop, WindowStyle::ButtonWidth, WindowStyle::ButtonHeight);
    for (StyledButton *b : {Btn_OK, Btn_Cancel})
        b->setAutoDefault(false);
    connect(Btn_OK, &QAbstractButton::clicked, this, &TFNew_Project::Btn_OKClick);
    connect(Btn_Cancel, &QAbstractButton::clicked, this, [this] { done(ModalCancel); });

    Set_Lang();
}

void TFNew_Project::Set_Lang()
{
    setWindowTitle(m_catalog.text(100));
    L_SW_Desc->setText(m_catalog.text(101));
    L_SW_Desc->adjustSize();
    Label1->setText(m_catalog.text(102));
    Label1->adjustSize();
    Btn_OK->setText(m_catalog.text(103));
    Btn_Cancel->setText(m_catalog.text(104));
    E_New_Proj->setToolTip(m_catalog.text(108));
    Btn_OK->setHint(m_catalog.text(109));
    Btn_Cancel->setHint(m_catalog.text(110));
}

void TFNew_Project::showEvent(QShowEvent *event)
{
    E_New_Proj->clear();
    E_New_Proj->setFocus();
    PraxDialog::showEvent(event);
}

void TFNew_Project::Btn_OKClick()
{
    const ProjectStore::CreateResult result = ProjectStore::create(m_state, E_New_Proj->text());
    if (result != ProjectStore::CreateResult::Created) {
        prompt().error(this, m_catalog.text(ProjectStore::messageIndex(result)));
        return;
    }
    done(ModalOk);
}
