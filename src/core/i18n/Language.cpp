#include "core/i18n/Language.h"

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "core/base/FileIo.h"

#include <QFileInfo>

namespace Language {

bool Load_Lang_File(Catalog &catalog, const QString &path, QString &languageVer, QString *error)
{
    QByteArray bytes;
    const QString why = FileIo::readFile(path, bytes, Catalog::MaxFileBytes);
    if (error)
        *error = why;
    if (!why.isEmpty())
        return false;
    catalog.applyLangText(Catalog::decode(bytes), languageVer);
    return true;
}

QString Load_Language(Catalog &catalog, AppState &state)
{
    catalog.Load_Default_Texts();
    state.Language_Ver = QStringLiteral("NO VER.");
    QString error;
    const QString selected = joinPath(state.Dir_Language, state.Language_Sel + QStringLiteral(".lng"));
    if (QFileInfo(selected).isFile()) {
        Load_Lang_File(catalog, selected, state.Language_Ver, &error);
        return error;
    }
    state.Language_Sel = QStringLiteral("English");
    const QString english = joinPath(state.Dir_Language, QStringLiteral("English.lng"));
    if (QFileInfo(english).isFile())
        Load_Lang_File(catalog, english, state.Language_Ver, &error);
    return error;
}

} // namespace Language
