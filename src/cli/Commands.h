#pragma once

#include <QStringList>
#include <QTextStream>

// The headless front end: one function per command, each in its own file, listed in
// Commands.cpp. Exit codes: 0 success, 1 usage error, 2 the command's own failure.
namespace Cli {

struct Io
{
    QTextStream &out;
    QTextStream &err;
};

using CommandFn = int (*)(const QStringList &args, Io &io);

struct Command
{
    const char *name;
    const char *usage;   // one line: arguments
    const char *summary; // one line: what it does
    CommandFn run;
};

int run(const QStringList &args);
// The command alone; run() adds that an output standard output did not take fails it.
int runCommand(const QStringList &args, QTextStream &out, QTextStream &err);

// Refuses an argument whose bytes the system's encoding cannot decode: Qt would hand it on with
// U+FFFD in their place, and a file of that other name would be read or written. Returns 0, or
// the exit code after the message naming the argument went to `err`.
int refuseUndecodable(int argc, const char *const *argv, QTextStream &err);

// The command draws text, which takes a QGuiApplication; the others run without one.
bool needsGui(const QString &command);

} // namespace Cli
