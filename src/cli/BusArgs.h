#pragma once

#ifdef PRAXEDO_HAVE_BUS

#include "bus/BusPrediction.h"
#include "bus/CanPort.h"
#include "cli/Commands.h"
#include "cli/ProjectArgs.h"

#include <memory>

// The two interfaces of the bus commands, checked and opened.
namespace Cli {

struct BusPorts
{
    CanPortAddress addresses[2];
    std::unique_ptr<CanPort> ports[2];
};

// --can0 and --can1 from `a`, checked before anything opens. Empty on success.
QString parseBusPorts(const ParsedArgs &a, BusPorts &ports);
QString openBusPorts(BusPorts &ports, const int bitRates[2]);

// The project's prediction, then both ports opened at `bitRateOption`, or else at each
// port's configured rate (written to `bitRates`). Empty on success.
QString openProjectBus(const ParsedArgs &a, int bitRateOption, BusPrediction &prediction, BusPorts &bus, int bitRates[2]);

// True on a terminal, where a progress bar can redraw itself.
bool stderrIsTerminal();

// The process ends on Ctrl+C or a termination request: `quitting()` turns true.
void watchForQuit();
bool quitting();

} // namespace Cli

#endif
