#pragma once

#include "core/update/PingTest.h"
#include "ui/widgets/PraxDialog.h"

#include <QStringList>

#include <memory>

struct AppState;
class Catalog;
class EchoClient;
class HostResolver;
class ProgramRunner;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class StyledButton;

// Update window for the Ethernet variant: the device's address, what to update, then an
// echo test, the job file and the Ethernet update tool.
class TFBoot : public PraxDialog
{
    Q_OBJECT
public:
    explicit TFBoot(AppState &state, Catalog &catalog, QWidget *parent = nullptr);
    ~TFBoot() override;

    // Mode set by the main window before each showing; 1 = update over Ethernet.
    int Form_Type = 0;

    void Set_Lang();
    void FormShow();
    void Btn_UpdateClick();
    bool Send_Ping();
    // Writes Lanvesk.xml from the window's fields; empty on success, else the error text.
    QString Compile_XML_Parameter();

    // Status of the last echo test: 0 no status, 1 answered, 2 not answered.
    int ping_res = PingTest::NoStatus;

    // True while an echo test or the update tool runs; no second update starts then.
    bool updateInProgress() const { return m_busy; }

    // Injection points; the window does not own what it is handed. nullptr restores the
    // system's ICMP echo / program runner; empty functions restore the real clock and pause.
    void setEchoClient(EchoClient *client);
    void setPingTiming(PingTest::Clock clock, PingTest::Pause pause);
    void setProgramRunner(ProgramRunner *runner);
    void setHostResolver(HostResolver *resolver);

    // How long a host name typed in the address fields may take to resolve.
    static constexpr int ResolveLimitMs = 5000;

    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QStringList ipFields() const;
    void setBusy(bool busy);
    void setStatus(const QString &text);
    // The address the echo goes to: the fields as typed, or the address a name resolves to
    // (the window keeps handling events meanwhile). False when a name does not resolve.
    bool resolveTarget(QString *target);
    // Runs the update; returns what the user must be told afterwards (empty: nothing).
    void runUpdate(int *kind, QString *message);

    AppState &m_state;
    Catalog &m_catalog;

    std::unique_ptr<EchoClient> m_systemEcho;
    std::unique_ptr<ProgramRunner> m_systemRunner;
    std::unique_ptr<HostResolver> m_systemResolver;
    HostResolver *m_resolver = nullptr;
    EchoClient *m_echo = nullptr;
    ProgramRunner *m_runner = nullptr;
    PingTest::Clock m_clock;
    PingTest::Pause m_pause;
    bool m_busy = false;

    QWidget *P_Title = nullptr;
    QLabel *L_SW_Code = nullptr;
    QLabel *L_SW_Desc = nullptr;
    QWidget *P_IP_Address = nullptr;
    QLabel *L_IP_Address = nullptr;
    QLineEdit *E_IP[4] = {};
    QWidget *P_Options = nullptr;
    QLabel *L_Update_Option = nullptr;
    QComboBox *CB_Update_Options = nullptr;
    QCheckBox *CB_Update_Option_Read_Back = nullptr;
    QLabel *L_Status = nullptr;
    QWidget *P_Button = nullptr;
    StyledButton *Btn_Cancel = nullptr;
    StyledButton *Btn_Update = nullptr;
};
