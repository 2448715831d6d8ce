#include "ui/update/TFBoot.h"

#include "core/app/AppState.h"
#include "core/i18n/Catalog.h"

TFBoot::TFBoot(AppState &state, Catalog &catalog, QWidget *parent)
    : PraxDialog(parent)
    , m_state(state)
    , m_catalog(catalog)
{
    setObjectName(QStringLiteral("TFBoot"));
    setClientSize(400, 200);
}

void TFBoot::Set_Lang()
{
}
