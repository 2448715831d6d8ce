#pragma once

#include "bus/BusPorts.h"
#include "bus/TestPlan.h"
#include "ui/widgets/PraxDialog.h"

#include <memory>

struct AppState;
class BusVerifier;
class Catalog;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class TFPraxedoreFirmWare;

// Runs the bus check of the open project from the configurator: two interfaces, progress,
// cancel, and the mismatches. The run goes on in the window's event loop, so it stays
// responsive; every wait in it is bounded.
class TFVerifyBus : public PraxDialog
{
    Q_OBJECT
public:
    TFVerifyBus(AppState &state, Catalog &catalog, QWidget *parent = nullptr);
    ~TFVerifyBus() override;

    void Set_Lang();
    // Ctrl+Shift+B and a context-menu entry on the main window; its layout is left alone.
    static void installEntry(TFPraxedoreFirmWare &mainWindow, AppState &state, Catalog &catalog);

    void startRun();
    void stopRun();
    bool running() const;

protected:
    bool prepareToShow() override;

private:
    void finishRun();

    AppState &m_state;
    Catalog &m_catalog;
    QLabel *m_labels[3];
    QComboBox *m_ports[2];
    QComboBox *m_direction;
    QCheckBox *m_deep;
    QPushButton *m_start;
    QPushButton *m_stop;
    QPushButton *m_close;
    QProgressBar *m_progress;
    QLabel *m_result;
    QListWidget *m_mismatches;

    BusPorts m_bus;
    TestPlan m_plan;
    std::unique_ptr<BusVerifier> m_verifier;
};
