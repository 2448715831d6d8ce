#pragma once

#include <QString>

// Joins a folder and a name with the platform's rules (no hand-built separators).
QString joinPath(const QString &dir, const QString &name);
