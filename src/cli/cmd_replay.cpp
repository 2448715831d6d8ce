#include "cli/Commands.h"

#include "cli/ProjectArgs.h"
#include "cli/StdStreams.h"
#include "core/base/Catalog.h"
#include "core/base/FileIo.h"
#include "core/device/DevicePrediction.h"
#include "core/traffic/TraceReplay.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace Cli {

namespace {
// Enough to see what is wrong with a trace; the count says how many more there were.
constexpr int MaxMalformedShown = 20;
} // namespace

// Replays a recorded trace through the built files the device runs. The frames that leave the
// other port go to OUT (standard output without -o) in the trace's format; the summary goes
// to standard output, or to standard error while the frames take standard output.
int runReplay(const QStringList &args, Io &io)
{
    const ParsedArgs a =
        parseArgs(args, {QStringLiteral("--from"), QStringLiteral("-o")}, {QStringLiteral("--strict")});
    const std::optional<Direction> arriving = directionArg(a.values.value(QStringLiteral("--from")));
    if (!a.error.isEmpty() || a.positional.size() != 2 || !arriving) {
        if (!a.error.isEmpty())
            io.err << "praxedo-cli replay: " << a.error << '\n';
        io.err << "Usage: praxedo-cli replay PROJECT_DIR --from 0|1 TRACE|- [-o OUT] [--strict]\n";
        return 1;
    }
    const Direction from = *arriving;
    AppState state;
    DevicePrediction device;
    const bool toFile =
        a.values.contains(QStringLiteral("-o")) && !isStandardOutput(a.values.value(QStringLiteral("-o")));
    const QString outPath = a.values.value(QStringLiteral("-o"));
    if (const int failed = openPrediction(QStringLiteral("replay"), a.positional.at(0), io, state, device,
                                          toFile ? outPath : QString(), {a.positional.at(1)}))
        return failed;
    QString error;

    const QString tracePath = a.positional.at(1);
    const bool fromStdin = tracePath == QLatin1String("-");
    const QString traceName = fromStdin ? QStringLiteral("standard input") : QDir::toNativeSeparators(tracePath);
    QFile traceFile;
    StdinDevice traceStdin;
    QIODevice &trace = fromStdin ? static_cast<QIODevice &>(traceStdin) : traceFile;
    bool opened = false;
    if (fromStdin) {
        setBinary(stdin);
        opened = traceStdin.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    } else {
        traceFile.setFileName(tracePath);
        opened = traceFile.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    if (!opened) {
        io.err << Catalog::defaults().text(TextId::CannotRead).arg(traceName, trace.errorString()) << '\n';
        return 2;
    }

    FileIo::SaveStream outFile;
    QFile outStd;
    QIODevice *out = nullptr;
    if (toFile) {
        if (const QString why = outFile.open(outPath); !why.isEmpty()) {
            io.err << why << '\n';
            return 2;
        }
        out = outFile.device();
    } else {
        io.out.flush();
        setBinary(stdout);
        if (!outStd.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            io.err << "Cannot write to standard output\n";
            return 2;
        }
        out = &outStd;
    }
    QTextStream &report = toFile ? io.out : io.err;

    int shown = 0;
    const auto malformed = [&](const MalformedLine &m) {
        if (++shown <= MaxMalformedShown)
            io.err << Catalog::defaults().text(TextId::FileLineError).arg(traceName, QString::number(m.line), m.reason)
                   << '\n';
    };
    TraceReplay::Options options;
    options.from = from;
    options.strict = a.flags.contains(QStringLiteral("--strict"));
    ReplaySummary summary;
    // Under --strict the first malformed line is the error itself.
    error = TraceReplay::run(trace, out, device, options, summary,
                             options.strict ? std::function<void(const MalformedLine &)>() : malformed);
    if (shown > MaxMalformedShown)
        io.err << traceName << ": " << (shown - MaxMalformedShown) << " more malformed lines\n";
    // A failed write is the output's fault: name the output, not the trace.
    const QString writeError = toFile ? outFile.writeError()
        : outStd.error() != QFileDevice::NoError
        ? QStringLiteral("Cannot write to standard output: %1").arg(outStd.errorString())
        : QString();
    if (!writeError.isEmpty()) {
        io.err << writeError << '\n';
        return 2;
    }
    if (error.isEmpty() && toFile)
        error = outFile.commit();
    if (!error.isEmpty()) {
        io.err << traceName << (options.strict && summary.malformed ? ", " : ": ") << error << '\n';
        return 2;
    }
    // The heading, then its lines indented.
    const QStringList lines = summary.text(from);
    for (int i = 0; i < lines.size(); ++i)
        report << (i ? "  " : "") << lines.at(i) << '\n';
    report << "  answered from " << device.source() << '\n';
    for (const QString &assumption : device.assumptions())
        report << "  assumed: " << assumption << '\n';
    if (device.bitRateFromDip(arriving->toPort()))
        report << "  assumed: CAN " << arriving->toPort()
               << " takes its bit rate from the DIP switches; the load is given at the configured rate\n";
    for (const QString &warning : summary.warnings(from))
        io.err << "warning: " << warning << '\n';
    return 0;
}

} // namespace Cli
