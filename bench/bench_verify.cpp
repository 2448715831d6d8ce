// The full bus check of a worst-size project: both directions, 2 x 2048 rows of 29-bit
// identifiers, through a software repeater (praxedo-cli emulate) on a private virtual bus.
// Prints the plan, its wire time at 500 kbit/s with worst-case stuffing, the paced run's time
// against that wire time plus the settle time, and an unpaced run that shows what the virtual
// bus itself carries.

#include "bus/BusPrediction.h"
#include "bus/BusVerifier.h"
#include "bus/CanPort.h"
#include "bus/VerifyResult.h"
#include "bus/VerifyText.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int BitRate = 500000;

bool put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray rows(quint32 base, quint32 modBase)
{
    QByteArray s;
    for (quint32 i = 0; i < 2048; ++i)
        s +=
            QStringLiteral(
                "<row Orig_CobID=\"0x%1\" Type_CobID=\"2.0B 29bits\" Mod_CobID=\"0x%2\" Type_MCobID=\"2.0B 29bits\" Desc=\"\"/>")
                .arg(base + 7 * i, 0, 16)
                .arg(modBase + 7 * i, 0, 16)
                .toUtf8();
    return s;
}

int fail(const QString &why)
{
    std::fprintf(stderr, "bench_verify: %s\n", qPrintable(why));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("bin"));
    put(dir.filePath(QStringLiteral("ParGen.xml")),
        "<Par_Gen><Boud0>6</Boud0><Boud1>6</Boud1><Type>1</Type><Positive>1</Positive><Baud_Dip_C0>0</Baud_Dip_C0>"
        "<Baud_Dip_C1>0</Baud_Dip_C1><TypeC1>1</TypeC1><Device_Type>1</Device_Type></Par_Gen>");
    put(dir.filePath(QStringLiteral("CanCanCobID.xml")),
        "<CanCanCobID><Can0_to_Can1>" + rows(0x1000000, 0x2000000) + "</Can0_to_Can1><Can1_to_Can0>"
            + rows(0x3000000, 0x4000000) + "</Can1_to_Can0></CanCanCobID>");
    if (QProcess::execute(QStringLiteral(PRAXEDO_CLI_PATH), {QStringLiteral("build"), dir.path()}) != 0)
        return fail(QStringLiteral("the build failed"));
    BusPrediction prediction;
    QString error = prediction.load(dir.path());
    if (!error.isEmpty())
        return fail(error);

    quint16 port = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0);
        port = probe.serverPort();
    }
    const QString sides[2] = {QStringLiteral("virtualcan:tcp://127.0.0.1:%1/can0").arg(port),
                              QStringLiteral("virtualcan:tcp://127.0.0.1:%1/can1").arg(port)};
    QProcess repeater;
    repeater.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    repeater.start(QStringLiteral(PRAXEDO_CLI_PATH),
                   {QStringLiteral("emulate"), dir.path(), QStringLiteral("--can0"), sides[0], QStringLiteral("--can1"),
                    sides[1]});
    while (!repeater.readAllStandardOutput().contains("Emulating")) {
        if (!repeater.waitForReadyRead(10000))
            return fail(QStringLiteral("the repeater did not start"));
    }
    std::unique_ptr<CanPort> ports[2];
    for (int p = 0; p < 2; ++p) {
        CanPortAddress address;
        CanPorts::parse(sides[p], address);
        ports[p] = CanPorts::open(address, BitRate, 5000, error);
        if (!ports[p])
            return fail(error);
    }
    const TestPlan plan = TestPlan::build(prediction, TestPlan::directionsFor(std::nullopt), false);
    double wireBitsIn = 0, wireBitsPaced = 0;
    for (const std::vector<PlanFrame> &frames : plan.frames) {
        for (const PlanFrame &f : frames) {
            wireBitsIn += wireBits(f.extended, 8);
            wireBitsPaced +=
                std::max(wireBits(f.extended, 8), f.expected.passes ? wireBits(f.expected.extended, 8) : 0);
        }
    }
    const double wireMs = wireBitsIn * 1000 / BitRate;
    const double pacedWireMs = wireBitsPaced * 1000 / BitRate;
    std::printf(
        "plan: %d frames (%zu + %zu), wire time at %d kbit/s: %.0f ms (%.0f ms counting the longer forwarded frames)\n",
        plan.size(), plan.frames[0].size(), plan.frames[1].size(), BitRate / 1000, wireMs, pacedWireMs);

    double runMs[2] = {0, 0};
    for (const bool paced : {true, false}) {
        VerifyOptions options;
        options.bitRate[0] = options.bitRate[1] = BitRate;
        options.paced = paced;
        BusVerifier verifier(*ports[0], *ports[1], plan, options);
        QEventLoop loop;
        QObject::connect(&verifier, &BusVerifier::finished, &loop, &QEventLoop::quit);
        verifier.start();
        if (verifier.running())
            loop.exec();
        const VerifyResult result = VerifyResult::evaluate(plan, verifier);
        const double ms = double(verifier.elapsedMs());
        runMs[paced ? 0 : 1] = ms;
        std::printf("%s: %.0f ms, %.0f frames/s, %s\n", paced ? "paced at 500 kbit/s" : "unpaced (8 in flight)", ms,
                    plan.size() * 1000.0 / ms, qPrintable(VerifyText::result(result)));
    }
    const double settle = 2 * VerifyOptions().settleMs;
    std::printf("paced run / (wire time + settle %.0f ms): %.2f (real-bus goal: at most 1.2)\n", settle,
                runMs[0] / (pacedWireMs + settle));
    std::printf("unpaced run / wire time: %.2f (the virtual bus alone: %.0f x the frame rate of a 500 kbit/s bus)\n",
                runMs[1] / wireMs, wireMs / runMs[1]);
    repeater.kill();
    repeater.waitForFinished(5000);
    return 0;
}
