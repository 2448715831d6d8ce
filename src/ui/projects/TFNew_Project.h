#pragma once

#include "ui/app/PraxDialog.h"

struct AppState;
class Catalog;

// New configuration window. (placeholder until the window is built)
class TFNew_Project : public PraxDialog
{
    Q_OBJECT
public:
    explicit TFNew_Project(AppState &state, Catalog &catalog, QWidget *parent = nullptr);
    void Set_Lang();

private:
    AppState &m_state;
    Catalog &m_catalog;
};
