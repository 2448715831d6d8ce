#pragma once

#ifdef PRAXEDO_HAVE_BUS

#include "bus/BusPorts.h"
#include "cli/Commands.h"
#include "cli/ProjectArgs.h"

// The two interfaces of the bus commands, checked and opened.
namespace Cli {

// The project's prediction, then --can0 and --can1 from `a` checked, then both ports opened at
// `bitRateOption`, or else at each port's configured rate. Empty on success.
QString openProjectBus(const ParsedArgs &a, int bitRateOption, BusPorts &bus);

// --bitrate as integer text, 5000 to 1000000 bit/s; 0 when absent. Sets `problem` when refused.
int bitRateArg(const ParsedArgs &a, QString &problem);

// True on a terminal, where a progress bar can redraw itself.
bool stderrIsTerminal();

// The process ends on Ctrl+C or a termination request: `quitting()` turns true.
void watchForQuit();
bool quitting();

} // namespace Cli

#endif
