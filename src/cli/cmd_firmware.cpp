#include "cli/Commands.h"

#include "cli/ProjectArgs.h"
#include "core/image/SrecMerge.h"
#include "core/projects/ProjectLock.h"

#include <QDir>
#include <QFileInfo>

namespace Cli {

int runFirmware(const QStringList &args, Io &io)
{
    const QString allowMissing = QStringLiteral("--allow-missing-bank");
    const ParsedArgs a = parseArgs(args, {}, {allowMissing});
    if (!a.error.isEmpty() || a.positional.size() != 2) {
        if (!a.error.isEmpty())
            io.err << "praxedo-cli firmware: " << a.error << '\n';
        io.err << "Usage: praxedo-cli firmware PROJECT_DIR FIRMWARE_SX [--allow-missing-bank]\n";
        return 1;
    }
    // Without this the lock below would blame another program for a folder that is not there.
    if (!QFileInfo(a.positional.at(0)).isDir()) {
        io.err << "praxedo-cli firmware: " << QDir::toNativeSeparators(a.positional.at(0)) << " is not a folder\n";
        return 2;
    }
    const QFileInfo firmware(a.positional.at(1));
    SrecMerge::SxFiles files = SrecMerge::filesFor(a.positional.at(0), firmware.absolutePath(), firmware.fileName());
    files.allowMissingBank = a.flags.contains(allowMissing);
    ProjectLock lock(a.positional.at(0));
    if (!lock.acquire()) {
        io.err << lock.refusal() << '\n';
        return 2;
    }
    const SrecMerge::ChainOutcome chain = SrecMerge::runChain(files);
    lock.release();
    if (chain.stopped()) {
        io.err << chain.message << '\n';
        return 2;
    }
    for (int k = 1; k <= SrecMerge::BankCount; ++k) {
        if (files.banks[size_t(k - 1)] && chain.bankResults[size_t(k - 1)] == 0)
            io.err << "warning: " << SrecMerge::missingBankMessage(k, firmware.fileName()) << '\n';
    }
    io.out << QDir::toNativeSeparators(files.newFilePath()) << '\n';
    return 0;
}

} // namespace Cli
