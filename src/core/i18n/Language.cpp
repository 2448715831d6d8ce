#include "core/i18n/Language.h"

#include "core/app/AppState.h"
#include "core/i18n/Catalog.h"

#include <QFileInfo>

namespace Language {

QString Load_Language(Catalog &catalog, AppState &state)
{
    catalog.Load_Default_Texts();
    state.Language_Ver = QStringLiteral("NO VER.");
    QString error;
    const QString selected = joinPath(state.Dir_Language, state.Language_Sel + QStringLiteral(".lng"));
    if (QFileInfo(selected).isFile()) {
        catalog.Load_Lang_File(selected, state.Language_Ver, &error);
        return error;
    }
    state.Language_Sel = QStringLiteral("English");
    const QString english = joinPath(state.Dir_Language, QStringLiteral("English.lng"));
    if (QFileInfo(english).isFile())
        catalog.Load_Lang_File(english, state.Language_Ver, &error);
    return error;
}

} // namespace Language
