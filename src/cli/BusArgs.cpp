#ifdef PRAXEDO_HAVE_BUS

#include "cli/BusArgs.h"

#include "core/base/IntText.h"

#include <csignal>
#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace Cli {

namespace {
volatile std::sig_atomic_t g_quit = 0;
void onSignal(int)
{
    g_quit = 1;
}
} // namespace

int bitRateArg(const ParsedArgs &a, QString &problem)
{
    if (!a.values.contains(QStringLiteral("--bitrate")))
        return 0;
    const auto v = IntText::read(a.values.value(QStringLiteral("--bitrate")));
    if (!v || *v < 5000 || *v > 1000000) {
        problem = QStringLiteral("--bitrate takes a bit rate in bit/s from 5000 to 1000000");
        return 0;
    }
    return int(*v);
}

QString openProjectBus(const ParsedArgs &a, int bitRateOption, BusPorts &bus)
{
    QString error = bus.loadProject(a.positional.at(0));
    if (!error.isEmpty())
        return error;
    const QString names[2] = {QStringLiteral("--can0"), QStringLiteral("--can1")};
    for (const QString &name : names) {
        if (!a.values.contains(name))
            return QStringLiteral("%1 PLUGIN:INTERFACE is missing").arg(name);
    }
    int failedPort = -1;
    error = bus.parse(a.values.value(names[0]), a.values.value(names[1]), failedPort);
    if (!error.isEmpty())
        return failedPort >= 0 ? names[failedPort] + QStringLiteral(": ") + error : error;
    return bus.open(bitRateOption);
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
