#pragma once

#include "ui/app/PraxDialog.h"

struct AppState;
class Catalog;

// About window. (placeholder until the window is built)
class TFAbout : public PraxDialog
{
    Q_OBJECT
public:
    explicit TFAbout(AppState &state, Catalog &catalog, QWidget *parent = nullptr);

private:
    AppState &m_state;
    Catalog &m_catalog;
};
