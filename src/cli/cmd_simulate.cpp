#include "cli/Commands.h"

#include "cli/ProjectArgs.h"
#include "core/base/IntText.h"
#include "core/config/CobIdChecks.h"
#include "core/device/DevicePrediction.h"
#include "core/device/FrameAnswerText.h"

namespace Cli {

// Answers from the built files the project's variant runs, not from the documents: they are
// what the device was given.
int runSimulate(const QStringList &args, Io &io)
{
    const ParsedArgs a = parseArgs(args, {QStringLiteral("--from")}, {QStringLiteral("--ext")});
    const std::optional<Direction> from = directionArg(a.values.value(QStringLiteral("--from")));
    if (!a.error.isEmpty() || a.positional.size() != 2 || !from) {
        if (!a.error.isEmpty())
            io.err << "praxedo-cli simulate: " << a.error << '\n';
        io.err << "Usage: praxedo-cli simulate PROJECT_DIR --from 0|1 ID [--ext]\n";
        return 1;
    }
    const bool extended = a.flags.contains(QStringLiteral("--ext"));
    const auto id = IntText::read(a.positional.at(1));
    const quint32 max = extended ? DeviceFacts::Max29Bit : DeviceFacts::Max11Bit;
    if (!id || *id < 0 || quint32(*id) > max) {
        io.err << "praxedo-cli simulate: " << a.positional.at(1) << " is not " << (extended ? "a 29-bit" : "an 11-bit")
               << " identifier (0 to " << CobIdChecks::idText(max, extended) << ')'
               << (extended ? "" : "; add --ext for a 29-bit one") << '\n';
        return 1;
    }
    AppState state;
    DevicePrediction device;
    if (const int failed = openPrediction(QStringLiteral("simulate"), a.positional.at(0), io, state, device))
        return failed;

    const FrameAnswerText::Answer answer = FrameAnswerText::answer(device, *from, quint32(*id), extended);
    io.out << answer.route << "\n  " << answer.reason << "\n  answered from " << device.source() << '\n';
    for (const QString &assumption : device.assumptions())
        io.out << "  assumed: " << assumption << '\n';
    if (!answer.rows.isEmpty())
        io.err << "warning: " << answer.rows << '\n';
    return 0;
}

} // namespace Cli
