#pragma once

#include "ui/app/PraxDialog.h"

struct AppState;
class Catalog;

// Update window for the Ethernet variant. (placeholder until the window is built)
class TFBoot : public PraxDialog
{
    Q_OBJECT
public:
    explicit TFBoot(AppState &state, Catalog &catalog, QWidget *parent = nullptr);
    void Set_Lang();

    // Mode set by the main window before each showing; 1 = update over Ethernet.
    int Form_Type = 0;

private:
    AppState &m_state;
    Catalog &m_catalog;
};
