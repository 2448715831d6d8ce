#include "cli/Commands.h"

#include "core/app/AppState.h"
#include "core/image/ProjectBuild.h"

#include <QDir>
#include <QFileInfo>

namespace Cli {

// Step 4's build without the window: the same files, the same messages.
int cmdBuild(const QStringList &args, Io &io)
{
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-'))) {
        io.err << "Usage: praxedo-cli build PROJECT_DIR\n";
        return 1;
    }
    const QFileInfo dir(args.first());
    if (!dir.isDir()) {
        io.err << "praxedo-cli: " << QDir::toNativeSeparators(args.first()) << " is not a folder\n";
        return 2;
    }
    AppState state;
    state.Dir_Project = dir.absoluteFilePath();
    Set_Files(state);
    const QString error = ProjectBuild::buildAndWrite(state);
    if (!error.isEmpty()) {
        io.err << error << '\n';
        return 2;
    }
    io.out << "Wrote bank1.bin to bank5.bin, bankg.c and bank_K60.bin into " << QDir::toNativeSeparators(state.binDir())
           << '\n';
    return 0;
}

} // namespace Cli
