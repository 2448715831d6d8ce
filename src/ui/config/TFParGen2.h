#pragma once

#include "ui/app/PraxDialog.h"

struct AppState;
class Catalog;

// Communication settings window. (placeholder until the window is built)
class TFParGen2 : public PraxDialog
{
    Q_OBJECT
public:
    explicit TFParGen2(AppState &state, Catalog &catalog, QWidget *parent = nullptr);
    void Set_Lang();

private:
    AppState &m_state;
    Catalog &m_catalog;
};
