#pragma once

#include <QString>

// A project name must name one folder directly inside PROJECTS: no separators, not "." or
// "..", nothing that would lead the path out of the workspace.
bool isPlainFolderName(const QString &name);
