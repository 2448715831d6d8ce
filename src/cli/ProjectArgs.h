#pragma once

#include "core/app/AppState.h"
#include "core/device/facts/Direction.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <optional>

class DevicePrediction;

// Argument handling shared by the commands that work on a project folder.
namespace Cli {

struct Io;

struct ParsedArgs
{
    QStringList positional;
    QHash<QString, QString> values; // options that take a value, e.g. --table 1
    QSet<QString> flags;            // options without one, e.g. --ext
    QString error;                  // empty when the arguments could be split
};

ParsedArgs parseArgs(const QStringList &args, const QStringList &valueOptions, const QStringList &flagOptions);

// "0" or "1" as a direction (0 = CAN 0 to CAN 1); none for anything else.
std::optional<Direction> directionArg(const QString &text);
// "From CAN 0 to CAN 1" or "From CAN 1 to CAN 0".
QString directionTitle(Direction direction);

// The project folder's state (Dir_Project and the document paths); an error text when the
// folder does not exist.
QString openProject(const QString &dir, AppState &state);

// Writes a command's output file, or standard output for "-". A file is saved like every file
// the user owns (FileIo::saveFile: a path that is a folder, device or pipe is refused).
bool isStandardOutput(const QString &path);
QString writeOutput(const QString &path, const QByteArray &bytes);
// The output as the messages name it.
QString outputName(const QString &path);
// Refused before anything is read: an output that would replace one of the command's inputs
// or one of the project's own files. Empty when `output` may be written ("-" always may).
QString refuseOutput(const QString &output, const AppState &state, const QStringList &inputs = {});

// A warning when a document is newer than the image built from it; empty otherwise.
QString staleImageWarning(const AppState &state, const QString &imagePath);
// The same for a prediction read from one or more files (the oldest of them counts).
QString staleImageWarning(const AppState &state, const QStringList &builtFiles);

// Opens the project and reads the built files its device runs, warning when they are older
// than the documents. Returns 0, or the exit code after the message went to io.err.
// An `output` (with the command's `inputs`) is checked by refuseOutput before anything is read.
int openPrediction(const QString &command, const QString &dir, Io &io, AppState &state, DevicePrediction &device,
                   const QString &output = QString(), const QStringList &inputs = {});

} // namespace Cli
