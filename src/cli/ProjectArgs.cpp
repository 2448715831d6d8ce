#include "cli/ProjectArgs.h"

#include "cli/Commands.h"
#include "cli/StdStreams.h"
#include "core/base/Catalog.h"
#include "core/base/FileIo.h"
#include "core/device/DevicePrediction.h"
#include "core/projects/ProjectFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

namespace Cli {

ParsedArgs parseArgs(const QStringList &args, const QStringList &valueOptions, const QStringList &flagOptions)
{
    ParsedArgs parsed;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (valueOptions.contains(a)) {
            if (i + 1 >= args.size() || parsed.values.contains(a)) {
                parsed.error = QStringLiteral("%1 needs one value").arg(a);
                return parsed;
            }
            parsed.values.insert(a, args.at(++i));
        } else if (flagOptions.contains(a)) {
            parsed.flags.insert(a);
        } else if (a.startsWith(u'-') && a.size() > 1) {
            parsed.error = QStringLiteral("unknown option %1").arg(a);
            return parsed;
        } else {
            parsed.positional.append(a);
        }
    }
    return parsed;
}

std::optional<Direction> directionArg(const QString &text)
{
    if (text == QLatin1String("0"))
        return Direction(Direction::Can0ToCan1);
    if (text == QLatin1String("1"))
        return Direction(Direction::Can1ToCan0);
    return std::nullopt;
}

QString directionTitle(Direction direction)
{
    return Catalog::defaults().text(direction.titleText());
}

QString openProject(const QString &dir, AppState &state)
{
    const QFileInfo info(dir);
    if (!info.isDir())
        return QStringLiteral("%1 is not a folder").arg(QDir::toNativeSeparators(dir));
    state.Dir_Project = info.absoluteFilePath();
    Set_Files(state);
    return QString();
}

bool isStandardOutput(const QString &path)
{
    return path == QLatin1String("-");
}

QString writeOutput(const QString &path, const QByteArray &bytes)
{
    if (!isStandardOutput(path))
        return FileIo::saveFile(path, bytes);
    std::fflush(stdout);
    // The bytes are the file's own (CR LF lines, PNG): no text-mode translation on Windows.
    setBinary(stdout);
    QFile out;
    QString error;
    if (!out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered))
        error = out.errorString();
    if (error.isEmpty())
        error = FileIo::writeAll(out, bytes);
    if (error.isEmpty() && !out.flush())
        error = out.errorString();
    return error.isEmpty() ? QString() : QStringLiteral("Cannot write to standard output: %1").arg(error);
}

QString outputName(const QString &path)
{
    return isStandardOutput(path) ? QStringLiteral("standard output") : QDir::toNativeSeparators(path);
}

QString refuseOutput(const QString &output, const AppState &state, const QStringList &inputs)
{
    if (isStandardOutput(output))
        return QString();
    for (const QString &input : inputs) {
        if (!isStandardOutput(input) && FileIo::wouldReplace(output, input))
            return QStringLiteral("%1 is this command's input; choose another output")
                .arg(QDir::toNativeSeparators(output));
    }
    return ProjectFiles::refuseOutput(state, output);
}

QString staleImageWarning(const AppState &state, const QString &imagePath)
{
    return staleImageWarning(state, QStringList{imagePath});
}

QString staleImageWarning(const AppState &state, const QStringList &builtFiles)
{
    if (builtFiles.isEmpty())
        return QString();
    QDateTime built = QFileInfo(builtFiles.first()).lastModified();
    QStringList names;
    for (const QString &file : builtFiles) {
        built = std::min(built, QFileInfo(file).lastModified());
        names.append(QFileInfo(file).fileName());
    }
    QStringList newer;
    for (const QString &doc : {state.File_ParGen, state.File_CobID}) {
        const QFileInfo info(doc);
        if (info.exists() && info.lastModified() > built)
            newer.append(info.fileName());
    }
    if (newer.isEmpty())
        return QString();
    return QStringLiteral("%1 changed after %2 was built; this is what the last build does")
        .arg(newer.join(QStringLiteral(" and ")), names.join(QStringLiteral(" and ")));
}

int openPrediction(const QString &command, const QString &dir, Io &io, AppState &state, DevicePrediction &device,
                   const QString &output, const QStringList &inputs)
{
    QString error = openProject(dir, state);
    if (!error.isEmpty()) {
        io.err << "praxedo-cli " << command << ": " << error << '\n';
        return 2;
    }
    if (!output.isEmpty())
        error = refuseOutput(output, state, inputs);
    if (!error.isEmpty()) {
        io.err << "praxedo-cli " << command << ": " << error << '\n';
        return 2;
    }
    error = device.load(state.Dir_Project);
    if (!error.isEmpty()) {
        io.err << error << '\n';
        return 2;
    }
    const QString stale = staleImageWarning(state, device.files());
    if (!stale.isEmpty())
        io.err << "warning: " << stale << '\n';
    return 0;
}

} // namespace Cli
