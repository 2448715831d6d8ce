#include "cli/Commands.h"

#include "cli/ProjectArgs.h"
#include "core/base/FileIo.h"
#include "core/device/DevicePrediction.h"
#include "gui/IdSpacePainter.h"

#include <QBuffer>
#include <QDir>

namespace Cli {

int runMap(const QStringList &args, Io &io)
{
    const ParsedArgs a = parseArgs(args, {QStringLiteral("--from")}, {});
    const std::optional<Direction> from = directionArg(a.values.value(QStringLiteral("--from")));
    if (!a.error.isEmpty() || a.positional.size() != 2 || !from) {
        if (!a.error.isEmpty())
            io.err << "praxedo-cli map: " << a.error << '\n';
        io.err << "Usage: praxedo-cli map PROJECT_DIR --from 0|1 OUT.png|-\n";
        return 1;
    }
    AppState state;
    DevicePrediction device;
    if (const int failed =
            openPrediction(QStringLiteral("map"), a.positional.at(0), io, state, device, a.positional.at(1)))
        return failed;
    QString error;

    const FilterImage::IdSpace space = device.idSpace(*from);
    const QString title = QStringLiteral("%1: 11-bit identifiers, %2")
                              .arg(directionTitle(*from),
                                   device.positive() ? QStringLiteral("positive implementation")
                                                     : QStringLiteral("listed identifiers blocked"));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!IdSpacePainter::render(space, title).save(&buffer, "PNG")) {
        io.err << "praxedo-cli map: the picture could not be encoded as PNG\n";
        return 2;
    }
    error = writeOutput(a.positional.at(1), png);
    if (!error.isEmpty()) {
        io.err << error << '\n';
        return 2;
    }
    int counts[3] = {0, 0, 0};
    for (const FilterImage::Fate f : space)
        ++counts[int(f)];
    QTextStream &summary = isStandardOutput(a.positional.at(1)) ? io.err : io.out;
    summary << "Wrote " << outputName(a.positional.at(1)) << ": " << counts[0] << " pass, " << counts[1] << " blocked, "
            << counts[2] << " remapped\n  answered from " << device.source() << '\n';
    for (const QString &assumption : device.assumptions())
        summary << "  assumed: " << assumption << '\n';
    return 0;
}

} // namespace Cli
