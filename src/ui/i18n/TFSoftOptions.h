#pragma once

#include "ui/widgets/PraxDialog.h"

#include <QStringList>

#include <array>
#include <functional>

class QAbstractButton;
class QCheckBox;
class QLabel;
class QTabWidget;
class QWidget;
class StyledButton;
struct AppState;
class Catalog;

// Software options: the language pages with their flags, the internet options with the
// version check on request, and the table settings.
class TFSoftOptions : public PraxDialog
{
    Q_OBJECT
public:
    explicit TFSoftOptions(AppState &state, Catalog &catalog, QWidget *parent = nullptr);

    // Hooks into the main window, set by the program entry: re-applying the texts to every
    // window, the version-check timer rule, and the version check itself.
    void setChangeLanguage(std::function<void()> hook) { m_changeLanguage = std::move(hook); }
    void setTimerRule(std::function<void()> hook) { m_timerRule = std::move(hook); }
    void setVersionCheck(std::function<bool()> check) { m_versionCheck = std::move(check); }

    void Set_Lang();
    void Create_Lang_List();
    void Update_Lang_Page(int Num_Page);
    void Update_CheckBox();
    void LangClick(int slot); // slot 1 to 6 of the page shown
    void Btn_NextClick(QAbstractButton *button);
    void CB_En_ConClick();
    bool Check_Version();
    void Btn_Check_UpdateClick();
    void LL_Check_UpdateLinkClick(const QString &link);
    void Btn_OKClick();

    const QStringList &languages() const { return SL_Languages; }
    int shownPage() const { return Show_Page; }
    const QString &languageInUse() const { return Language_In_Use; }

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    QWidget *buildLanguagePage();
    QWidget *buildConnectionPage();
    QWidget *buildSettingsPage();
    QCheckBox *addCheckBox(const QString &name, QWidget *parent);
    void showSelectedLanguage();

    AppState &m_state;
    Catalog &m_catalog;
    std::function<void()> m_changeLanguage;
    std::function<void()> m_timerRule;
    std::function<bool()> m_versionCheck;

    QStringList SL_Languages;
    int Show_Page = 1;
    QString Language_In_Use;

    QLabel *L_SW_Code = nullptr;
    QLabel *L_SW_Desc = nullptr;
    QTabWidget *PC_Options = nullptr;
    QWidget *TS_Language = nullptr;
    QWidget *TS_Con_Options = nullptr;
    QWidget *TS_Soft_Settings = nullptr;
    QLabel *L_Sel_Lang = nullptr;
    std::array<QLabel *, 6> I_L{};
    std::array<QLabel *, 6> L_L{};
    QLabel *L_Page_Lang = nullptr;
    StyledButton *Btn_Prev = nullptr;
    StyledButton *Btn_Next = nullptr;
    QCheckBox *CB_En_Con = nullptr;
    QCheckBox *CB_Update = nullptr;
    StyledButton *Btn_Check_Update = nullptr;
    QLabel *LL_Check_Update = nullptr;
    QCheckBox *CB_Soft_Set_Jump_Table = nullptr;
    QCheckBox *CB_DoubleClick_Auto_Size = nullptr;
    StyledButton *Btn_OK = nullptr;
    StyledButton *Btn_Cancel = nullptr;
};
