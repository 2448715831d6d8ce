#include "ui/projects/TFOpenConf.h"

#include "core/app/AppState.h"
#include "core/i18n/Catalog.h"

TFOpenConf::TFOpenConf(AppState &state, Catalog &catalog, QWidget *parent)
    : PraxDialog(parent)
    , m_state(state)
    , m_catalog(catalog)
{
    setObjectName(QStringLiteral("TFOpenConf"));
    setClientSize(400, 200);
}

void TFOpenConf::Set_Lang()
{
}
