#include "cli/Commands.h"

#include "core/image/SrecMerge.h"
#include "core/projects/ProjectLock.h"

#include <QDir>
#include <QFileInfo>

namespace Cli {

int runFirmware(const QStringList &args, Io &io)
{
    if (args.size() != 2) {
        io.err << "Usage: praxedo-cli firmware PROJECT_DIR FIRMWARE_SX\n";
        return 1;
    }
    const QFileInfo firmware(args.at(1));
    const SrecMerge::SxFiles files = SrecMerge::filesFor(args.at(0), firmware.absolutePath(), firmware.fileName());
    ProjectLock lock(args.at(0));
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
    // The window says nothing here, but a script should hear that a bank did not go in.
    for (int k = 1; k <= SrecMerge::BankCount; ++k) {
        if (files.banks[size_t(k - 1)] && chain.bankResults[size_t(k - 1)] == 0)
            io.err << "warning: " << firmware.fileName() << " has no data records in the range of bank " << k
                   << "; the bank is not in the new file\n";
    }
    io.out << QDir::toNativeSeparators(files.newFilePath()) << '\n';
    return 0;
}

} // namespace Cli
