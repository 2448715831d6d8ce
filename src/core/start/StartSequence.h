#pragma once

#include <QString>

struct AppState;
class Catalog;

// What the main window's creation does before it shows anything: workspace folders,
// settings, language, last project. Kept apart from the window so it can be tested.
namespace StartSequence {

struct Outcome
{
    bool timerEnabled = false; // version check timer: both internet options on
    bool projectRestored = false;
    bool settingsUnreadable = false; // Praxedo.xml existed but was too large or not well-formed
    QString settingsError;           // why, naming the file
    QString languageError;           // why the chosen language file could not be read (defaults stay)
};

// Sets Dir_Exe and the three workspace folders (creating missing ones).
void setupWorkspace(AppState &state, const QString &exeDir);

// The whole start sequence for an executable living in `exeDir`.
Outcome run(AppState &state, Catalog &catalog, const QString &exeDir);

// Dir_Project from Name_Project when its folder exists; empty otherwise.
bool restoreLastProject(AppState &state);

QString settingsPath(const AppState &state);

} // namespace StartSequence
