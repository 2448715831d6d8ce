#include "cli/Commands.h"

#include "core/base/FileIo.h"

#include <QFile>
#include <QFileDevice>

#include <cerrno>
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
int runReplay(const QStringList &args, Io &io);
int cmdBuild(const QStringList &args, Io &io);
int cmdInspect(const QStringList &args, Io &io);
#ifdef PRAXEDO_HAVE_BUS
int runVerify(const QStringList &args, Io &io);
int runEmulate(const QStringList &args, Io &io);
#else
// Named here all the same, so that a script asking for them learns why they fail.
static int runWithoutBus(const QStringList &args, Io &io)
{
    Q_UNUSED(args)
    io.err << "praxedo-cli: this build has no CAN bus support (it was built without Qt SerialBus), "
              "so it cannot verify or emulate the repeater on a bus\n";
    return 2;
}
#endif

namespace {
const Command kCommands[] = {
    {"build", "PROJECT_DIR", "Builds bank1..5.bin, bankg.c and bank_K60.bin into PROJECT_DIR/bin as Update Device does",
     cmdBuild},
    {"check", "PROJECT_DIR", "Validate ParGen.xml and CanCanCobID.xml as the editors do on OK", runCheck},
    {"firmware", "PROJECT_DIR FIRMWARE_SX [--allow-missing-bank]",
     "Merge PROJECT_DIR/bin/bank1.bin and bank2.bin into a copy of FIRMWARE_SX: PROJECT_DIR/New_<name>; "
     "refused when the firmware has no data in a bank's range, unless --allow-missing-bank",
     runFirmware},
    {"export", "PROJECT_DIR --table 0|1 FILE.csv|-",
     "Write one filter table (0: CAN 0 to CAN 1, 1: CAN 1 to CAN 0) as CSV; - for standard output", runExport},
    {"import", "PROJECT_DIR --table 0|1 FILE.csv|FILE.dbc [--append] [--as-29-bit]",
     "Replace (or extend) one filter table from CSV or from the messages of a DBC file; saved only when valid",
     runImport},
    {"simulate", "PROJECT_DIR --from 0|1 ID [--ext]",
     "Tell from the built files the device runs (bin/bank_K60.bin, or bin/bank1.bin and bank2.bin for the serial variant) "
     "whether a frame arriving on CAN 0 or 1 passes, and as which identifier",
     runSimulate},
    {"map", "PROJECT_DIR --from 0|1 OUT.png|-",
     "Draw the 2048 11-bit identifiers of one direction as pass / block / remapped, from the built files the device runs; "
     "- for standard output",
     runMap},
    {"replay", "PROJECT_DIR --from 0|1 TRACE|- [-o OUT] [--strict]",
     "Replay a candump -l log or .asc trace recorded on CAN 0 or 1 through the built files the device runs; writes what "
     "leaves the other port in the same format, then the frames passed, remapped and blocked and the load on that port",
     runReplay},
    {"inspect", "FILE", "Decodes bank_K60.bin or a bank file into readable text; checks its size and checksum",
     cmdInspect},
#ifdef PRAXEDO_HAVE_BUS
    {"verify",
     "PROJECT_DIR --can0 PLUGIN:INTERFACE --can1 PLUGIN:INTERFACE [--direction 0|1|both] [--bitrate N] [--deep] [--settle MS] [--report FILE]",
     "Send a test plan through the repeater on the bus and compare what arrives with what the build predicts",
     runVerify},
    {"emulate",
     "PROJECT_DIR --can0 PLUGIN:INTERFACE --can1 PLUGIN:INTERFACE [--bitrate N] [--fault drop:ID|remap:ID:NEW|duplicate:ID]...",
     "Forward frames between two interfaces as the project's device would (Ctrl+C ends)", runEmulate},
#else
    {"verify", "PROJECT_DIR ...", "Not in this build: it has no CAN bus support (built without Qt SerialBus)",
     runWithoutBus},
    {"emulate", "PROJECT_DIR ...", "Not in this build: it has no CAN bus support (built without Qt SerialBus)",
     runWithoutBus},
#endif
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
    out << "\nExit codes: 0 success, 1 usage error, 2 the command failed (as when the project folder is not\n"
           "there, or a file name holds bytes the system's encoding cannot read).\n";
}
} // namespace

namespace {
// The bytes as text, each outside printable ASCII (and the backslash) written as \xHH.
QString escapedBytes(const QByteArray &bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    QString text;
    for (const char c : bytes) {
        const auto b = quint8(c);
        if (b >= 0x20 && b < 0x7F && c != '\\') {
            text += QLatin1Char(c);
        } else {
            text += QLatin1String("\\x");
            text += QLatin1Char(hex[b >> 4]);
            text += QLatin1Char(hex[b & 0x0F]);
        }
    }
    return text;
}
} // namespace

int refuseUndecodable(int argc, const char *const *argv, QTextStream &err)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray raw(argv[i]);
        if (QFile::encodeName(QFile::decodeName(raw)) == raw)
            continue;
        err << "praxedo-cli: " << escapedBytes(raw) << " (argument " << i
            << ") is not valid text in the system's encoding; it would be read as another name, so nothing was "
               "done\n";
        return 2;
    }
    return 0;
}

bool needsGui(const QString &command)
{
    return command == QLatin1String("map");
}

namespace {
// Whatever a command printed must have reached standard output; a full disk or a closed pipe
// there is a failure of the command, not a success.
int checkedExit(int code, QTextStream &out, QTextStream &err)
{
    out.flush();
    const auto *device = qobject_cast<QFileDevice *>(out.device());
    QString why = device && device->error() != QFileDevice::NoError ? device->errorString() : QString();
    errno = 0;
    const bool failed =
        std::fflush(stdout) != 0 || std::ferror(stdout) || !why.isEmpty() || out.status() != QTextStream::Ok;
    if (!failed)
        return code;
    if (code == 2)
        return code; // the command said already what went wrong
    if (why.isEmpty())
        why = errno ? qt_error_string(errno) : QStringLiteral("the output was not accepted");
    err << "praxedo-cli: cannot write to standard output: " << why << '\n';
    err.flush();
    return 2;
}
} // namespace

int run(const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    FileIo::setNoteHandler([&err](const QString &note) { err << "warning: " << note << '\n'; });
    const int code = runCommand(args, out, err);
    FileIo::setNoteHandler(nullptr); // `err` ends here
    return checkedExit(code, out, err);
}

int runCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
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
