#include "core/start/StartSequence.h"

#include "core/app/AppState.h"
#include "core/app/SettingsFile.h"
#include "core/base/Catalog.h"
#include "core/i18n/Language.h"
#include "core/projects/ProjectName.h"

#include <QDir>
#include <QFileInfo>

namespace StartSequence {

void setupWorkspace(AppState &state, const QString &exeDir)
{
    state.Dir_Exe = QDir::toNativeSeparators(QDir::cleanPath(exeDir));
    const auto make = [&](const QString &name) {
        const QString path = joinPath(state.Dir_Exe, name);
        QDir().mkpath(path); // a folder that cannot be made shows up where it is used
        return path;
    };
    state.Dir_Master = make(QStringLiteral("MASTER"));
    state.Dir_Projects = make(QStringLiteral("PROJECTS"));
    state.Dir_Language = make(QStringLiteral("LANGUAGE"));
}

QString settingsPath(const AppState &state)
{
    return joinPath(state.Dir_Exe, SettingsFile::fileName());
}

bool restoreLastProject(AppState &state)
{
    const QString dir = joinPath(state.Dir_Projects, state.Name_Project);
    if (isPlainFolderName(state.Name_Project) && QFileInfo(dir).isDir()) {
        state.Dir_Project = dir;
        return true;
    }
    state.Dir_Project.clear();
    return false;
}

Outcome run(AppState &state, Catalog &catalog, const QString &exeDir)
{
    Outcome outcome;
    setupWorkspace(state, exeDir);
    state.Read_Back = true;
    outcome.settingsUnreadable = !SettingsFile::read(state, settingsPath(state), &outcome.settingsError);
    outcome.timerEnabled = state.Enable_Internet && state.Enable_Update;
    state.Title_SW = Product::title();
    state.SW_Code = QString::fromUtf16(Product::Code);
    state.SW_Desc = Product::description();
    outcome.languageError = Language::Load_Language(catalog, state);
    outcome.projectRestored = restoreLastProject(state);
    Set_Files(state);
    state.Copied_Row.clear();
    return outcome;
}

} // namespace StartSequence
