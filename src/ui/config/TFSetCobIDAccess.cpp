#include "ui/config/TFSetCobIDAccess.h"

#include "core/app/AppState.h"
#include "core/i18n/Catalog.h"

TFSetCobIDAccess::TFSetCobIDAccess(AppState &state, Catalog &catalog, QWidget *parent)
    : PraxDialog(parent)
    , m_state(state)
    , m_catalog(catalog)
{
    setObjectName(QStringLiteral("TFSetCobIDAccess"));
    setClientSize(400, 200);
}

void TFSetCobIDAccess::Set_Lang()
{
}
