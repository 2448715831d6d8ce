#pragma once

#include "ui/app/PraxDialog.h"

struct AppState;
class Catalog;

// Open configuration window. (placeholder until the window is built)
class TFOpenConf : public PraxDialog
{
    Q_OBJECT
public:
    explicit TFOpenConf(AppState &state, Catalog &catalog, QWidget *parent = nullptr);
    void Set_Lang();

    // The name chosen in the list; kept from one showing to the next.
    QString Name_Conf;

private:
    AppState &m_state;
    Catalog &m_catalog;
};
