#pragma once

#include "ui/widgets/PraxDialog.h"

class QLabel;
class QLineEdit;
class StyledButton;
struct AppState;
class Catalog;

// New configuration window: asks for a name, creates the project folder and makes it the
// current project. Closes with OK only once the folder exists.
class TFNew_Project : public PraxDialog
{
    Q_OBJECT
public:
    explicit TFNew_Project(AppState &state, Catalog &catalog, QWidget *parent = nullptr);
    void Set_Lang();

    void Btn_OKClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    AppState &m_state;
    Catalog &m_catalog;

    QLabel *L_SW_Desc = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *E_New_Proj = nullptr;
    StyledButton *Btn_OK = nullptr;
    StyledButton *Btn_Cancel = nullptr;
};
