#ifdef PRAXEDO_HAVE_BUS

#include "bus/BusPrediction.h"
#include "bus/BusVerifier.h"
#include "bus/VerifyReport.h"
#include "bus/VerifyText.h"
#include "cli/BusArgs.h"
#include "cli/Commands.h"
#include "cli/ProjectArgs.h"
#include "core/base/IntText.h"

#include <QDir>
#include <QEventLoop>
#include <QTimer>

namespace Cli {

namespace {

void drawProgress(QTextStream &err, int sent, int total)
{
    constexpr int Width = 40;
    const int filled = total > 0 ? int(qint64(sent) * Width / total) : Width;
    err << "\r[" << QString(filled, u'#') << QString(Width - filled, u' ') << "] " << sent << '/' << total << Qt::flush;
}

} // namespace

int runVerify(const QStringList &args, Io &io)
{
    const ParsedArgs a =
        parseArgs(args,
                  {QStringLiteral("--can0"), QStringLiteral("--can1"), QStringLiteral("--direction"),
                   QStringLiteral("--bitrate"), QStringLiteral("--report"), QStringLiteral("--settle")},
                  {QStringLiteral("--deep")});
    const QString usage = QStringLiteral(
        "Usage: praxedo-cli verify PROJECT_DIR --can0 PLUGIN:INTERFACE --can1 PLUGIN:INTERFACE [--direction 0|1|both] "
        "[--bitrate N] [--deep] [--settle MS] [--report FILE]\n");
    const QString dirText = a.values.value(QStringLiteral("--direction"), QStringLiteral("both"));
    std::vector<Direction> directions;
    if (dirText == QLatin1String("both"))
        directions = TestPlan::directionsFor(std::nullopt);
    else if (const std::optional<Direction> d = directionArg(dirText))
        directions = TestPlan::directionsFor(d);
    QString problem = a.error;
    if (problem.isEmpty() && directions.empty())
        problem = QStringLiteral("--direction takes 0, 1 or both, not '%1'").arg(dirText);
    const int bitRateOption = problem.isEmpty() ? bitRateArg(a, problem) : 0;
    VerifyOptions options;
    if (problem.isEmpty() && a.values.contains(QStringLiteral("--settle"))) {
        const auto v = IntText::read(a.values.value(QStringLiteral("--settle")));
        if (!v || *v < 0 || *v > 60000)
            problem = QStringLiteral("--settle takes milliseconds from 0 to 60000");
        else
            options.settleMs = *v;
    }
    BusPorts bus;
    if (problem.isEmpty() && a.positional.size() != 1)
        problem = QStringLiteral("name one project folder");
    if (!problem.isEmpty()) {
        io.err << "praxedo-cli verify: " << problem << '\n' << usage;
        return 1;
    }
    if (a.values.contains(QStringLiteral("--report"))) {
        AppState state;
        if (openProject(a.positional.at(0), state).isEmpty()) {
            for (const QString &file : VerifyReport::paths(a.values.value(QStringLiteral("--report")))) {
                if (const QString refused = refuseOutput(file, state); !refused.isEmpty()) {
                    io.err << "praxedo-cli verify: " << refused << '\n';
                    return 2;
                }
            }
        }
    }
    QString error = openProjectBus(a, bitRateOption, bus);
    const BusPrediction &prediction = bus.prediction;
    if (!error.isEmpty()) {
        io.err << "praxedo-cli verify: " << error << '\n';
        return 2;
    }
    options.bitRate[0] = bus.bitRates[0];
    options.bitRate[1] = bus.bitRates[1];

    const TestPlan plan = TestPlan::build(prediction, directions, a.flags.contains(QStringLiteral("--deep")));
    io.out << "Project " << prediction.projectName() << ", " << QDir::toNativeSeparators(prediction.source())
           << " (checksum 0x" << QString::number(prediction.imageChecksum(), 16).toUpper() << ", "
           << prediction.fingerprint() << ")\n";
    for (const QString &assumed : prediction.assumptions())
        io.out << "  assumed: " << assumed << '\n';
    io.out << "CAN 0 on " << bus.addresses[0].text() << ", CAN 1 on " << bus.addresses[1].text() << "; " << plan.size()
           << " frames, paced for " << qMin(bus.bitRates[0], bus.bitRates[1]) / 1000 << " kbit/s\n"
           << Qt::flush;

    VerifyRunInfo info;
    info.project = prediction.projectName();
    info.projectDir = prediction.projectDir();
    info.source = prediction.source();
    info.fingerprint = prediction.fingerprint();
    info.assumptions = prediction.assumptions();
    info.checksum = prediction.imageChecksum();
    info.can0 = bus.addresses[0].text();
    info.can1 = bus.addresses[1].text();
    info.started = QDateTime::currentDateTime();

    BusVerifier verifier(*bus.ports[0], *bus.ports[1], plan, options);
    const bool bar = stderrIsTerminal();
    if (bar)
        QObject::connect(&verifier, &BusVerifier::progress, &verifier,
                         [&io](int sent, int total) { drawProgress(io.err, sent, total); });
    QEventLoop loop;
    QObject::connect(&verifier, &BusVerifier::finished, &loop, &QEventLoop::quit);
    watchForQuit();
    QTimer quitPoll;
    QObject::connect(&quitPoll, &QTimer::timeout, &verifier, [&verifier] {
        if (quitting())
            verifier.cancel();
    });
    quitPoll.start(100);
    verifier.start();
    if (verifier.running())
        loop.exec();
    if (bar)
        io.err << '\n';
    info.elapsedMs = verifier.elapsedMs();

    const VerifyResult result = VerifyResult::evaluate(plan, verifier);
    if (!result.error.isEmpty())
        io.err << "praxedo-cli verify: " << result.error << '\n';
    else if (result.cancelled)
        io.err << "praxedo-cli verify: cancelled\n";
    else {
        for (const QString &line : VerifyReport::summaryLines(result, plan, 50))
            io.out << line << '\n';
    }
    if (a.values.contains(QStringLiteral("--report"))) {
        QStringList written;
        const QString reportError =
            VerifyReport::write(a.values.value(QStringLiteral("--report")), plan, result, info, &written);
        if (!reportError.isEmpty()) {
            io.err << "praxedo-cli verify: " << reportError << '\n';
            return 2;
        }
        io.out << "Report: " << QDir::toNativeSeparators(written.join(QStringLiteral(", "))) << '\n';
    }
    io.out << "Result: " << VerifyText::result(result) << " (" << info.elapsedMs << " ms)\n";
    return result.allMatched() ? 0 : 2;
}

} // namespace Cli

#endif
