#pragma once

#include "core/app/AppState.h"
#include "core/base/Catalog.h"

#include <QString>

// A fresh state with an open project in `projectDir` and the default texts, as the editor
// windows find them after the main window's start.
inline void prepareEditorProject(const QString &projectDir, AppState &state, Catalog &catalog)
{
    state = AppState();
    state.SW_Code = QStringLiteral("PK58104");
    state.Dir_Project = projectDir;
    Set_Files(state);
    catalog = Catalog();
    catalog.Load_Default_Texts();
}
