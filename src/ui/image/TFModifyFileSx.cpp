#include "ui/image/TFModifyFileSx.h"

#include "core/app/AppState.h"
#include "core/i18n/Catalog.h"

TFModifyFileSx::TFModifyFileSx(AppState &state, Catalog &catalog, QWidget *parent)
    : PraxDialog(parent)
    , m_state(state)
    , m_catalog(catalog)
{
    setObjectName(QStringLiteral("TFModifyFileSx"));
    setClientSize(400, 200);
}
