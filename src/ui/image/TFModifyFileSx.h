#pragma once

#include "core/image/SrecMerge.h"
#include "ui/widgets/PraxDialog.h"

#include <functional>

struct AppState;
class Catalog;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QProgressBar;
class QWidget;
class StyledButton;

// Generate-firmware window: merges the configuration banks into a copy of the device
// firmware and starts the flash programming tool on the chosen serial port. Its texts are
// fixed English texts; only the line that reports the finished step comes from the catalog.
class TFModifyFileSx : public PraxDialog
{
    Q_OBJECT
public:
    // Starts the tool without waiting; returns an empty text, or why it did not start.
    using ToolStarter = std::function<QString(const QString &program, const QString &file, int port)>;

    explicit TFModifyFileSx(AppState &state, Catalog &catalog, QWidget *parent = nullptr);

    void setToolStarter(ToolStarter starter);

    // The file names of the last showing.
    const SrecMerge::SxFiles &files() const { return m_files; }

    void FormShow();
    void LbButton2Click();

protected:
    void showEvent(QShowEvent *event) override;
    void placeOnScreen() override;

private:
    bool ExeModFileSxClick();
    void ExeUpdateFirClick();

    AppState &m_state;
    Catalog &m_catalog;
    SrecMerge::SxFiles m_files;
    ToolStarter m_startTool;

    StyledButton *LbButton1 = nullptr;
    StyledButton *LbButton2 = nullptr;
    QComboBox *cbport = nullptr;
    QProgressBar *Avanzamento = nullptr;
    QFrame *Shape1 = nullptr;
    QLabel *L_Status = nullptr; // which file was written and where the tool was started
    QWidget *GbBank = nullptr;
    QCheckBox *Cbbank[SrecMerge::BankCount] = {};
};
