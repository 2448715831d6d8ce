#include "ui/config/TFParGen2.h"

#include "core/app/AppState.h"
#include "core/i18n/Catalog.h"

TFParGen2::TFParGen2(AppState &state, Catalog &catalog, QWidget *parent)
    : PraxDialog(parent)
    , m_state(state)
    , m_catalog(catalog)
{
    setObjectName(QStringLiteral("TFParGen2"));
    setClientSize(400, 200);
}

void TFParGen2::Set_Lang()
{
}
