#include "ui/projects/TFNew_Project.h"

#include "core/app/AppState.h"
#include "core/i18n/Catalog.h"

TFNew_Project::TFNew_Project(AppState &state, Catalog &catalog, QWidget *parent)
    : PraxDialog(parent)
    , m_state(state)
    , m_catalog(catalog)
{
    setObjectName(QStringLiteral("TFNew_Project"));
    setClientSize(400, 200);
}

void TFNew_Project::Set_Lang()
{
}
