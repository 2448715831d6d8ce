#pragma once

#include "core/app/AppState.h"

#include <QHash>
#include <QSet>
#include <QStringList>

// Argument handling shared by the commands that work on a project folder.
namespace Cli {

struct ParsedArgs
{
    QStringList positional;
    QHash<QString, QString> values; // options that take a value, e.g. --table 1
    QSet<QString> flags;            // options without one, e.g. --ext
    QString error;                  // empty when the arguments could be split
};

ParsedArgs parseArgs(const QStringList &args, const QStringList &valueOptions, const QStringList &flagOptions);

// "0" or "1" as a direction (0 = CAN 0 to CAN 1); -1 for anything else.
int direction(const QString &text);
// "From CAN 0 to CAN 1" or "From CAN 1 to CAN 0".
QString directionTitle(int direction);

// The project folder's state (Dir_Project and the document paths); an error text when the
// folder does not exist.
QString openProject(const QString &dir, AppState &state);

// A warning when a document is newer than the image built from it; empty otherwise.
QString staleImageWarning(const AppState &state, const QString &imagePath);
// The same for a prediction read from one or more files (the oldest of them counts).
QString staleImageWarning(const AppState &state, const QStringList &builtFiles);

} // namespace Cli
