#pragma once

#include "ui/widgets/PraxDialog.h"

class QLabel;
class QListWidget;
class StyledButton;
struct AppState;
class Catalog;

// Open configuration window: lists the project folders and remembers the chosen name in
// Name_Conf; the main window opens that project after OK.
class TFOpenConf : public PraxDialog
{
    Q_OBJECT
public:
    explicit TFOpenConf(AppState &state, Catalog &catalog, QWidget *parent = nullptr);
    void Set_Lang();

    // The name chosen in the list; kept from one showing to the next.
    QString Name_Conf;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void FormShow();
    void ListBox1Click(int row);
    void placeControls();

    AppState &m_state;
    Catalog &m_catalog;

    QWidget *P_Title = nullptr;
    QLabel *L_SW_Desc = nullptr;
    QLabel *Label1 = nullptr;
    QListWidget *ListBox1 = nullptr;
    QWidget *P_Button = nullptr;
    StyledButton *Btn_OK = nullptr;
    StyledButton *Btn_Cancel = nullptr;
};
