#ifdef PRAXEDO_HAVE_BUS

#include "bus/BusPrediction.h"
#include "bus/Emulator.h"
#include "cli/BusArgs.h"
#include "cli/Commands.h"
#include "cli/ProjectArgs.h"

#include <QDir>
#include <QEventLoop>
#include <QTimer>

namespace Cli {

int runEmulate(const QStringList &args, Io &io)
{
    // --fault may be given more than once: collect those before the common parser.
    QStringList rest;
    QStringList faultTexts;
    for (int i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--fault") && i + 1 < args.size())
            faultTexts.append(args.at(++i));
        else
            rest.append(args.at(i));
    }
    const ParsedArgs a =
        parseArgs(rest, {QStringLiteral("--can0"), QStringLiteral("--can1"), QStringLiteral("--bitrate")}, {});
    QString problem = a.error;
    if (problem.isEmpty() && a.positional.size() != 1)
        problem = QStringLiteral("name one project folder");
    std::vector<EmulatorFault> faults;
    for (const QString &t : faultTexts) {
        if (!problem.isEmpty())
            break;
        if (const auto f = EmulatorFault::parse(t, problem))
            faults.push_back(*f);
    }
    const int bitRateOption = problem.isEmpty() ? bitRateArg(a, problem) : 0;
    if (!problem.isEmpty()) {
        io.err
            << "praxedo-cli emulate: " << problem << '\n'
            << "Usage: praxedo-cli emulate PROJECT_DIR --can0 PLUGIN:INTERFACE --can1 PLUGIN:INTERFACE [--bitrate N] "
               "[--fault drop:ID|remap:ID:NEW|duplicate:ID]...\n";
        return 1;
    }
    BusPorts bus;
    QString error = openProjectBus(a, bitRateOption, bus);
    const BusPrediction &prediction = bus.prediction;
    if (!error.isEmpty()) {
        io.err << "praxedo-cli emulate: " << error << '\n';
        return 2;
    }
    Emulator emulator(*bus.ports[0], *bus.ports[1], prediction, faults);
    QEventLoop loop;
    QString failure;
    QObject::connect(&emulator, &Emulator::failed, &loop, [&](const QString &why) {
        failure = why;
        loop.quit();
    });
    watchForQuit();
    QTimer quitPoll;
    QObject::connect(&quitPoll, &QTimer::timeout, &loop, [&loop] {
        if (quitting())
            loop.quit();
    });
    quitPoll.start(100);
    io.out << "Emulating " << prediction.projectName() << " from " << QDir::toNativeSeparators(prediction.source())
           << " between " << bus.addresses[0].text() << " (CAN 0) and " << bus.addresses[1].text() << " (CAN 1)";
    for (const QString &t : faultTexts)
        io.out << ", fault " << t;
    io.out << "; Ctrl+C ends\n" << Qt::flush;
    loop.exec();
    io.out << "Forwarded " << emulator.forwarded(0) << " of " << emulator.received(0) << " frames from CAN 0, "
           << emulator.forwarded(1) << " of " << emulator.received(1) << " from CAN 1\n";
    if (!failure.isEmpty()) {
        io.err << "praxedo-cli emulate: " << failure << '\n';
        return 2;
    }
    return 0;
}

} // namespace Cli

#endif
