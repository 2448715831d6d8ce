#pragma once

#include <QString>

class Catalog;
struct AppState;

namespace Language {

// Reads a language file over the catalog's current texts. Returns false (and changes nothing)
// when the file cannot be read or is too large, with the reason in `error`; `languageVer` is
// set from its first version line.
bool Load_Lang_File(Catalog &catalog, const QString &path, QString &languageVer, QString *error = nullptr);

// Defaults, then the file of state.Language_Sel, falling back to English. Returns why the
// language file could not be read (the defaults then stay), or an empty text.
QString Load_Language(Catalog &catalog, AppState &state);

} // namespace Language
