// Replaying a large candump log through a full 2048-row table with praxedo-cli, against
// `wc -l` of the same file in the same run. The log is written into a temporary folder and
// removed afterwards. Usage: bench_replay [MEGABYTES] (default 1024, about 30 million frames).
// Prints the medians, their ratio and the peak memory of the replay.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace {

constexpr int kRuns = 5;

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Every 11-bit identifier passes unchanged, as Compile All leaves a table.
QByteArray fullTable()
{
    QByteArray rows;
    for (int i = 0; i < 2048; ++i) {
        const QByteArray n = QByteArray::number(i);
        rows += "<row Orig_CobID=\"" + n + "\" Type_CobID=\"2.0A 11bits\" Mod_CobID=\"" + n
            + "\" Type_MCobID=\"2.0A 11bits\" Desc=\"\"/>";
    }
    return "<CanCanCobID><Can0_to_Can1>" + rows
        + "</Can0_to_Can1><Can1_to_Can0/></CanCanCobID><!--SW_VERSION = 2.001-->";
}

// Frames 10 µs apart: 11-bit identifiers with 0 to 8 data bytes, one in sixteen 29-bit.
bool writeLog(const QString &path, qint64 bytes, qint64 &lines)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QRandomGenerator gen(42);
    static const char hex[] = "0123456789ABCDEF";
    QByteArray block;
    block.reserve(1 << 21);
    qint64 written = 0;
    qint64 micros = 0;
    lines = 0;
    char line[80];
    while (written < bytes) {
        block.clear();
        while (block.size() < (1 << 20)) {
            micros += 10;
            const qint64 seconds = 1436509053 + micros / 1000000;
            int n = std::snprintf(line, sizeof line, "(%lld.%06lld) can0 ", static_cast<long long>(seconds),
                                  static_cast<long long>(micros % 1000000));
            const quint32 r = gen.generate();
            if ((r & 15) == 0) {
                // A bus carries a few hundred 29-bit identifiers, not millions.
                const quint32 id = 0x18FE0000u | (gen.generate() & 0x1FF);
                for (int d = 7; d >= 0; --d)
                    line[n++] = hex[(id >> (4 * d)) & 15];
            } else {
                const quint32 id = (r >> 4) & 0x7FF;
                for (int d = 2; d >= 0; --d)
                    line[n++] = hex[(id >> (4 * d)) & 15];
            }
            line[n++] = '#';
            const int data = int((r >> 16) % 9);
            for (int b = 0; b < data; ++b) {
                line[n++] = hex[(r >> (b % 8)) & 15];
                line[n++] = hex[(r >> (b + 3)) & 15];
            }
            line[n++] = '\n';
            block.append(line, n);
            ++lines;
        }
        if (f.write(block) != block.size())
            return false;
        written += block.size();
    }
    return f.flush();
}

double medianSeconds(const QString &program, const QStringList &args, bool &ok)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        p.setStandardErrorFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        p.start(program, args);
        if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            ok = false;
            return 0;
        }
        times.push_back(double(timer.nsecsElapsed()) * 1e-9);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const qint64 megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1024;
    if (megabytes <= 0) {
        std::fprintf(stderr, "usage: bench_replay [MEGABYTES]\n");
        return 1;
    }
    QTemporaryDir dir;
    if (!dir.isValid())
        return 2;
    // The log and the replay's output both land here.
    const qint64 needed = 2 * megabytes * 1024 * 1024 + 64 * 1024 * 1024;
    if (QStorageInfo(dir.path()).bytesAvailable() < needed) {
        std::fprintf(stderr, "not enough free space in %s for %lld MB twice\n", qPrintable(dir.path()),
                     static_cast<long long>(megabytes));
        return 2;
    }
    const QString project = dir.filePath(QStringLiteral("Bench"));
    QDir().mkpath(project + QStringLiteral("/bin"));
    const QByteArray parGen = "<Par_Gen><Boud0>8</Boud0><Boud1>8</Boud1><Type>0</Type><Positive>1</Positive>"
                              "<Baud_Dip_C0>0</Baud_Dip_C0><Baud_Dip_C1>0</Baud_Dip_C1><TypeC1>0</TypeC1>"
                              "<Device_Type>0</Device_Type></Par_Gen><!--SW_VERSION = 2.001-->";
    if (!writeFile(QDir(project).filePath(QStringLiteral("ParGen.xml")), parGen)
        || !writeFile(QDir(project).filePath(QStringLiteral("CanCanCobID.xml")), fullTable()))
        return 2;
    const QString cli = QStringLiteral(PRAXEDO_CLI_PATH);
    if (QProcess::execute(cli, {QStringLiteral("build"), project}) != 0) {
        std::fprintf(stderr, "praxedo-cli build failed\n");
        return 2;
    }

    const QString log = dir.filePath(QStringLiteral("trace.log"));
    const QString out = dir.filePath(QStringLiteral("out.log"));
    qint64 lines = 0;
    QElapsedTimer writing;
    writing.start();
    if (!writeLog(log, megabytes * 1024 * 1024, lines)) {
        std::fprintf(stderr, "could not write the log\n");
        return 2;
    }
    std::printf("log: %lld MB, %lld frames, written in %.1f s\n", static_cast<long long>(QFileInfo(log).size() >> 20),
                static_cast<long long>(lines), double(writing.nsecsElapsed()) * 1e-9);

    bool ok = true;
    const double wc = medianSeconds(QStringLiteral("wc"), {QStringLiteral("-l"), log}, ok);
    const double replay = medianSeconds(cli,
                                        {QStringLiteral("replay"), project, QStringLiteral("--from"),
                                         QStringLiteral("0"), log, QStringLiteral("-o"), out},
                                        ok);
    // The same without the output file, whose save waits until every byte is on the disk.
    const double toNull =
        medianSeconds(cli, {QStringLiteral("replay"), project, QStringLiteral("--from"), QStringLiteral("0"), log}, ok);
    if (!ok) {
        std::fprintf(stderr, "a run failed\n");
        return 2;
    }
    std::printf("wc -l:  %.3f s (median of %d)\n", wc, kRuns);
    std::printf("replay -o OUT:         %.3f s (median of %d), %.1f M frames/s, ratio to wc -l %.2f\n", replay, kRuns,
                double(lines) / replay * 1e-6, replay / wc);
    std::printf("replay to null device: %.3f s (median of %d), %.1f M frames/s, ratio to wc -l %.2f\n", toNull, kRuns,
                double(lines) / toNull * 1e-6, toNull / wc);
    std::printf("goal: ratio at most 3\n");
#ifdef Q_OS_UNIX
    // The largest child waited for; wc stays far below the replay.
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    std::printf("peak memory of a child (the replay): %.1f MB (goal: under 50 MB)\n", double(usage.ru_maxrss) / 1024.0);
#endif
    return 0;
}
