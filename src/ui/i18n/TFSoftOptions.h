#pragma once

#include "ui/app/PraxDialog.h"

struct AppState;
class Catalog;

// Software options window. (placeholder until the window is built)
class TFSoftOptions : public PraxDialog
{
    Q_OBJECT
public:
    explicit TFSoftOptions(AppState &state, Catalog &catalog, QWidget *parent = nullptr);
    void Set_Lang();

private:
    AppState &m_state;
    Catalog &m_catalog;
};
