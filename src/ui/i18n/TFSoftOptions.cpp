#include "ui/i18n/TFSoftOptions.h"

#include "core/app/AppState.h"
#include "core/i18n/Catalog.h"

TFSoftOptions::TFSoftOptions(AppState &state, Catalog &catalog, QWidget *parent)
    : PraxDialog(parent)
    , m_state(state)
    , m_catalog(catalog)
{
    setObjectName(QStringLiteral("TFSoftOptions"));
    setClientSize(400, 200);
}

void TFSoftOptions::Set_Lang()
{
}
