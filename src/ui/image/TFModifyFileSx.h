#pragma once

#include "ui/app/PraxDialog.h"

struct AppState;
class Catalog;

// Generate-firmware window. (placeholder until the window is built)
class TFModifyFileSx : public PraxDialog
{
    Q_OBJECT
public:
    explicit TFModifyFileSx(AppState &state, Catalog &catalog, QWidget *parent = nullptr);

private:
    AppState &m_state;
    Catalog &m_catalog;
};
