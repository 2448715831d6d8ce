#pragma once

#include <QString>
#include <QStringList>

struct AppState;

// Projects are the folders directly inside PROJECTS; a project's name is its folder's name.
namespace ProjectStore {

enum class CreateResult {
    Created,
    EmptyName,     // message 107
    AlreadyExists, // message 106
    Refused,       // message 105: an unsafe name, or the file system would not make the folder
};

// The catalog message that explains a refusal; 0 for Created.
int messageIndex(CreateResult result);

// Makes the folder `name` inside Dir_Projects (which must exist) and its `bin` folder, then
// makes it the current project. The name is used exactly as typed. On a refusal nothing
// on disk or in `state` has changed.
CreateResult create(AppState &state, const QString &name);

// The project folders of `dirProjects` in the file system's own order; files and hidden or
// system folders are left out. A missing folder gives an empty list.
QStringList Load_Existing_Configuration(const QString &dirProjects);

// Index of the first name equal to `name` when ASCII letters are compared upper-cased; -1
// when there is none.
int Search_Open_Conf(const QStringList &names, const QString &name);

// The current project's name as the open window looks for it: Dir_Project after
// Dir_Projects and its separator; empty while no project is open.
QString currentName(const AppState &state);

// The entry the open window selects: the current project, else the first one; -1 for an
// empty list.
int preselect(const QStringList &names, const QString &current);

} // namespace ProjectStore
