// How long `praxedo-cli build` takes on the largest project the filter window can save
// (2048 rows each way, identifiers in descending order, the worst case for the ordering),
// against `cp` of the same seven output files, both started as processes in the same run.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {
constexpr int kRows = 2048;
constexpr int kRounds = 25;

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray filterDocument()
{
    QByteArray xml = "<CanCanCobID>";
    for (const char *section : {"Can0_to_Can1", "Can1_to_Can0"}) {
        xml += QByteArray("<") + section + ">";
        for (int i = 0; i < kRows; ++i) {
            const QByteArray id = "0x" + QByteArray::number(0x1FFFFFFF - i, 16).toUpper();
            xml += "<row Orig_CobID=\"" + id + "\" Type_CobID=\"2.0B 29bits\" Mod_CobID=\"" + id
                + "\" Type_MCobID=\"2.0B 29bits\" Desc=\"\"/>";
        }
        xml += QByteArray("</") + section + ">";
    }
    return xml + "</CanCanCobID>\n<!--SW_VERSION = 2.001-->\n";
}

// Milliseconds from start to end of one process; negative when it failed.
double timed(const QString &program, const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return -1;
    return double(t.nsecsElapsed()) / 1e6;
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir project;
    QTemporaryDir copies;
    const QByteArray parGen = "<Par_Gen><Boud0>6</Boud0><Boud1>6</Boud1><Type>1</Type><Positive>1</Positive>"
                              "<Baud_Dip_C0>0</Baud_Dip_C0><Baud_Dip_C1>0</Baud_Dip_C1><TypeC1>1</TypeC1>"
                              "<Device_Type>0</Device_Type></Par_Gen>\n";
    if (!project.isValid() || !copies.isValid() || !writeFile(project.filePath(QStringLiteral("ParGen.xml")), parGen)
        || !writeFile(project.filePath(QStringLiteral("CanCanCobID.xml")), filterDocument())) {
        std::fprintf(stderr, "cannot prepare the project\n");
        return 1;
    }

    const QString cli = QStringLiteral(PRAXEDO_CLI_PATH);
    const QStringList buildArgs{QStringLiteral("build"), project.path()};
    if (timed(cli, buildArgs) < 0) { // also warms the caches
        std::fprintf(stderr, "praxedo-cli build failed\n");
        return 1;
    }
    const QDir bin(project.filePath(QStringLiteral("bin")));
    QStringList cpArgs;
    for (const QString &name : bin.entryList(QDir::Files, QDir::Name))
        cpArgs << bin.filePath(name);
    cpArgs << copies.path();
    if (cpArgs.size() != 8 || timed(QStringLiteral("cp"), cpArgs) < 0) {
        std::fprintf(stderr, "cp of the outputs failed\n");
        return 1;
    }

    QList<double> builds;
    QList<double> cps;
    for (int i = 0; i < kRounds; ++i) {
        builds << timed(cli, buildArgs);
        cps << timed(QStringLiteral("cp"), cpArgs);
        if (builds.last() < 0 || cps.last() < 0) {
            std::fprintf(stderr, "a run failed\n");
            return 1;
        }
    }
    const double build = median(builds);
    const double cp = median(cps);
    out << "rows per direction:        " << kRows << " (descending 29-bit identifiers)\n"
        << "praxedo-cli build, median: " << QString::number(build, 'f', 2) << " ms\n"
        << "cp of the 7 files, median: " << QString::number(cp, 'f', 2) << " ms\n"
        << "ratio build / cp:          " << QString::number(build / cp, 'f', 2) << '\n';
    return 0;
}
