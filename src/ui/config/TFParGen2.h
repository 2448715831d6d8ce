#pragma once

#include "core/base/DocumentStamp.h"
#include "core/config/ParGen.h"
#include "ui/widgets/PraxDialog.h"

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QScrollArea;
class QWheelEvent;
class CollapsiblePanel;
class StyledButton;
struct AppState;
class Catalog;

// Communication settings window: edits the project's ParGen.xml. Its controls are the working
// copy of the document; every opening reads the document afresh and OK writes it back whole,
// asking first when another program wrote the file since the window read it.
class TFParGen2 : public PraxDialog
{
    Q_OBJECT
public:
    explicit TFParGen2(AppState &state, Catalog &catalog, QWidget *parent = nullptr);

    void Set_Lang();

    // Opening: reads the document into the controls. A document that cannot be read is reported
    // and the window does not open (exec() then returns ModalCancel at once).
    bool FormShow();

    void Btn_OKClick();
    bool Controllo_Dati();
    void Move_GroupBoxs();

    // The values as the controls hold them now.
    ParGenValues values() const;

protected:
    bool prepareToShow() override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct CanControls
    {
        CollapsiblePanel *panel = nullptr;
        QCheckBox *dip = nullptr;
        QLabel *baudLabel = nullptr;
        QComboBox *baud = nullptr;
        QLabel *typeLabel = nullptr;
        QComboBox *type = nullptr;
    };

    void buildDeviceTypePanel();
    void buildCanPanel(CanControls &can, int port);
    void buildOptionsPanel();
    void buildEthernetPanel();
    void Order_TAB_Panels();
    void setValues(const ParGenValues &v);
    void fillControls(const ParGenValues &v);
    bool withEthernet() const;

    void RePosition_Object_Device_Type();
    void RePosition_Object_CAN(CanControls &can);
    void RePosition_Object_Options();
    void RePosition_Object_Ethernet();
    // Body height from the lowest visible control, plus the bottom margin.
    static void fitPanel(CollapsiblePanel *panel, const QWidget *lowest);

    void FormMouseWheel(QWheelEvent *event);

    AppState &m_state;
    Catalog &m_catalog;
    DocumentStamp m_stamp; // ParGen.xml as last read or saved here

    QLabel *L_SW_Code = nullptr;
    QLabel *L_SW_Desc = nullptr;
    QScrollArea *CPG = nullptr;

    CollapsiblePanel *CP_Device_Type = nullptr;
    QLabel *L_Device_Type_Type = nullptr;
    QComboBox *CB_Device_Type_Type = nullptr;

    CanControls m_can[2];

    CollapsiblePanel *CP_Options = nullptr;
    QCheckBox *CB_Options_Positive_Implementation = nullptr;

    CollapsiblePanel *CP_Ethernet = nullptr;
    QLabel *L_Ethernet_IP = nullptr;
    QLabel *L_Ethernet_SM = nullptr;
    QCheckBox *CB_Ethernet_En_GAT = nullptr;
    std::array<QLineEdit *, 4> E_Ethernet_IP{};
    std::array<QLineEdit *, 4> E_Ethernet_SM{};
    std::array<QLineEdit *, 4> E_Ethernet_GAT{};
    QLineEdit *E_Ethernet_TCP_Port = nullptr;
    QLineEdit *E_Ethernet_UDP_Port = nullptr;

    StyledButton *Btn_OK = nullptr;
    StyledButton *Btn_Cancel = nullptr;
};
