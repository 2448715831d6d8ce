#include "ui/app/TFAbout.h"

#include "core/app/AppState.h"
#include "core/i18n/Catalog.h"

TFAbout::TFAbout(AppState &state, Catalog &catalog, QWidget *parent)
    : PraxDialog(parent)
    , m_state(state)
    , m_catalog(catalog)
{
    setObjectName(QStringLiteral("TFAbout"));
    setClientSize(400, 200);
}
