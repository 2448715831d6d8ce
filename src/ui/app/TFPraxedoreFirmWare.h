#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

class QAbstractButton;
class QLabel;
class QTimer;
class StyledButton;
struct AppState;
class Catalog;
class TFNew_Project;
class TFOpenConf;
class TFAbout;
class TFSoftOptions;
class TFSetCobIDAccess;
class TFBoot;
class TFParGen2;
class TFModifyFileSx;

// The main window: product header, active configuration, Steps 1 to 4, and the periodic
// version check. Its creation runs the start sequence; closing it writes the settings.
class TFPraxedoreFirmWare : public QWidget
{
    Q_OBJECT
public:
    // The other windows, created once after this one (see main.cpp); any may be null.
    struct Windows
    {
        TFNew_Project *newProject = nullptr;
        TFOpenConf *openConf = nullptr;
        TFAbout *about = nullptr;
        TFSoftOptions *softOptions = nullptr;
        TFSetCobIDAccess *setCobIDAccess = nullptr;
        TFBoot *boot = nullptr;
        TFParGen2 *parGen2 = nullptr;
        TFModifyFileSx *modifyFileSx = nullptr;
    };

    // Runs the start sequence for an executable living in `exeDir`.
    TFPraxedoreFirmWare(AppState &state, Catalog &catalog, const QString &exeDir, QWidget *parent = nullptr);
    ~TFPraxedoreFirmWare() override;

    void setWindows(const Windows &windows) { m_windows = windows; }
    const Windows &windows() const { return m_windows; }

    // The version check run by the timer; true when a newer version is available.
    void setVersionCheck(std::function<bool()> check) { m_versionCheck = std::move(check); }

    void Btn_Click(QAbstractButton *button);
    void Set_Lang();
    void Change_Language();
    void Update_Device();
    void Save_Setting();
    void Timer_UpdateTimer();
    void LL_UpdateLinkClick(const QString &link);
    void L_VelmorClick();
    void Create_New_Project();
    void Open_Project();

    // The timer rule after the options were confirmed or at start.
    void applyTimerRule();
    QTimer *updateTimer() const { return m_timer; }

    // Active-configuration lines: after start, new and open.
    void showActiveConfiguration();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    StyledButton *addButton(const QString &name, int x, int y, int w, int h);
    QLabel *addLabel(const QString &name, int x, int y, bool bold);

    AppState &m_state;
    Catalog &m_catalog;
    Windows m_windows;
    std::function<bool()> m_versionCheck;
    QTimer *m_timer = nullptr;

    QLabel *L_SW_Code = nullptr;
    QLabel *L_SW_Desc = nullptr;
    QLabel *LL_Update = nullptr;
    StyledButton *Btn_Info = nullptr;
    StyledButton *Btn_Opz = nullptr;
    StyledButton *Btn_Close = nullptr;
    QLabel *L_Begin = nullptr;
    QLabel *L_Name_Conf = nullptr;
    QLabel *L_Name_Conf_L2 = nullptr;
    QLabel *L_Step_1 = nullptr;
    QLabel *L_Step_2 = nullptr;
    QLabel *L_Step_3 = nullptr;
    QLabel *L_Step_4 = nullptr;
    StyledButton *Btn_New = nullptr;
    StyledButton *Btn_Open = nullptr;
    StyledButton *Btn_Prm_Gen = nullptr;
    StyledButton *Btn_SetCobIDAccess = nullptr;
    StyledButton *Btn_CreateBin = nullptr;
    QLabel *L_Velmor = nullptr;
};
