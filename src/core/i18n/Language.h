#pragma once

#include <QString>

class Catalog;
struct AppState;

namespace Language {

// Defaults, then the file of state.Language_Sel, falling back to English. Returns why the
// language file could not be read (the defaults then stay), or an empty text.
QString Load_Language(Catalog &catalog, AppState &state);

} // namespace Language
