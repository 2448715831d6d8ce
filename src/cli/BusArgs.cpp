#ifdef PRAXEDO_HAVE_BUS

#include "cli/BusArgs.h"

#include <csignal>
#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace Cli {

namespace {
constexpr int ConnectTimeoutMs = 5000;
volatile std::sig_atomic_t g_quit = 0;
void onSignal(int)
{
    g_quit = 1;
}
} // namespace

QString parseBusPorts(const ParsedArgs &a, BusPorts &ports)
{
    const QString names[2] = {QStringLiteral("--can0"), QStringLiteral("--can1")};
    for (int p = 0; p < 2; ++p) {
        if (!a.values.contains(names[p]))
            return QStringLiteral("%1 PLUGIN:INTERFACE is missing").arg(names[p]);
        QString error = CanPorts::parse(a.values.value(names[p]), ports.addresses[p]);
        if (error.isEmpty())
            error = CanPorts::check(ports.addresses[p]);
        if (!error.isEmpty())
            return names[p] + QStringLiteral(": ") + error;
    }
    return CanPorts::checkPair(ports.addresses[0], ports.addresses[1]);
}

QString openProjectBus(const ParsedArgs &a, int bitRateOption, BusPrediction &prediction, BusPorts &bus, int bitRates[2])
{
    QString error = prediction.load(a.positional.at(0));
    if (error.isEmpty())
        error = parseBusPorts(a, bus);
    for (int p = 0; p < 2; ++p)
        bitRates[p] = bitRateOption ? bitRateOption : prediction.bitRate(p);
    if (error.isEmpty())
        error = openBusPorts(bus, bitRates);
    return error;
}

QString openBusPorts(BusPorts &ports, const int bitRates[2])
{
    for (int p = 0; p < 2; ++p) {
        QString error;
        ports.ports[p] = CanPorts::open(ports.addresses[p], bitRates[p], ConnectTimeoutMs, error);
        if (!ports.ports[p])
            return error;
    }
    return QString();
}

bool stderrIsTerminal()
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

void watchForQuit()
{
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
}

bool quitting()
{
    return g_quit != 0;
}

} // namespace Cli

#endif
