#pragma once

#include "ui/app/PraxDialog.h"

struct AppState;
class Catalog;

// COB-ID filter window. (placeholder until the window is built)
class TFSetCobIDAccess : public PraxDialog
{
    Q_OBJECT
public:
    explicit TFSetCobIDAccess(AppState &state, Catalog &catalog, QWidget *parent = nullptr);
    void Set_Lang();

private:
    AppState &m_state;
    Catalog &m_catalog;
};
