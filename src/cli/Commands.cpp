#include "cli/Commands.h"

#include <cstdio>

namespace Cli {

// Each command is defined in its own cmd_*.cpp.
// (Add a declaration and a row below when adding a command.)
int runCheck(const QStringList &args, Io &io);
int runFirmware(const QStringList &args, Io &io);
int runExport(const QStringList &args, Io &io);
int runImport(const QStringList &args, Io &io);
int runSimulate(const QStringList &args, Io &io);
int runMap(const QStringList &args, Io &io);
int cmdBuild(const QStringList &args, Io &io);
int cmdInspect(const QStringList &args, Io &io);

namespace {
const Command kCommands[] = {
    {"build", "PROJECT_DIR", "Builds bank1..5.bin, bankg.c and bank_K60.bin into PROJECT_DIR/bin as Update Device does", cmdBuild},
    {"check", "PROJECT_DIR", "Validate ParGen.xml and CanCanCobID.xml as the editors do on OK", runCheck},
    {"firmware", "PROJECT_DIR FIRMWARE_SX [--allow-missing-bank]",
     "Merge PROJECT_DIR/bin/bank1.bin and bank2.bin into a copy of FIRMWARE_SX: PROJECT_DIR/New_<name>; "
     "refused when the firmware has no data in a bank's range, unless --allow-missing-bank",
     runFirmware},
    {"export", "PROJECT_DIR --table 0|1 FILE.csv", "Write one filter table (0: CAN 0 to CAN 1, 1: CAN 1 to CAN 0) as CSV",
     runExport},
    {"import", "PROJECT_DIR --table 0|1 FILE.csv|FILE.dbc [--append]",
     "Replace (or extend) one filter table from CSV or from the messages of a DBC file; saved only when valid",
     runImport},
    {"simulate", "PROJECT_DIR --from 0|1 ID [--ext]",
     "Tell from PROJECT_DIR/bin/bank_K60.bin whether a frame arriving on CAN 0 or 1 passes, and as which identifier",
     runSimulate},
    {"map", "PROJECT_DIR --from 0|1 OUT.png",
     "Draw the 2048 11-bit identifiers of one direction as pass / block / remapped from PROJECT_DIR/bin/bank_K60.bin",
     runMap},
    {"inspect", "FILE", "Decodes bank_K60.bin or a bank file into readable text; checks its size and checksum", cmdInspect},
    {nullptr, nullptr, nullptr, nullptr},
};

void printHelp(QTextStream &out)
{
    out << "Usage: praxedo-cli COMMAND [ARGS]\n\nCommands:\n";
    for (const Command &c : kCommands) {
        if (!c.name)
            continue;
        out << "  " << c.name << ' ' << c.usage << "\n      " << c.summary << '\n';
    }
    out << "\nExit codes: 0 success, 1 usage error, 2 the command failed.\n";
}
} // namespace

bool needsGui(const QString &command)
{
    return command == QLatin1String("map");
}

int run(const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    Io io{out, err};
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")
        || args.first() == QLatin1String("help")) {
        printHelp(args.isEmpty() ? err : out);
        return args.isEmpty() ? 1 : 0;
    }
    for (const Command &c : kCommands) {
        if (c.name && args.first() == QLatin1String(c.name))
            return c.run(args.mid(1), io);
    }
    err << "praxedo-cli: unknown command '" << args.first() << "'\n";
    printHelp(err);
    return 1;
}

} // namespace Cli
