// Merging banks 1 and 2 into a 2 MB S-record firmware file: our chain (in process and through
// praxedo-cli) against the same splice done by srec_cat. Prints the medians and the ratios.

#include "core/app/AppState.h"
#include "core/image/SrecMerge.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 11;
constexpr qint64 kFirmwareBytes = 2 * 1024 * 1024;

QByteArray randomBytes(QRandomGenerator &gen, int n)
{
    QByteArray b(n, Qt::Uninitialized);
    for (char &c : b)
        c = char(gen.bounded(256));
    return b;
}

// A firmware image of 32-byte S2 records from 0x300000 until the text reaches ~2 MB; it covers
// all five bank ranges.
QByteArray makeFirmware(QRandomGenerator &gen)
{
    QByteArray text = "S00F000068656C6C6F202020202000003C\r\n";
    quint32 address = 0x300000;
    while (text.size() < kFirmwareBytes) {
        QString record = QStringLiteral("S224%1").arg(address, 6, 16, QLatin1Char('0')).toUpper()
            + QString::fromLatin1(randomBytes(gen, SrecMerge::RecordData).toHex().toUpper()) + QStringLiteral("..");
        SrecMerge::Sx_Checksum(record);
        text += record.toLatin1() + "\r\n";
        address += SrecMerge::RecordData;
    }
    text += "S9030000FC\r\n";
    return text;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

double medianMs(const std::function<bool()> &run, bool &ok)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        if (!run()) {
            ok = false;
            return 0;
        }
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

bool runProcess(const QString &program, const QStringList &args, QString *errors = nullptr)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        if (errors)
            *errors = QString::fromLocal8Bit(p.readAllStandardError());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);

    QTemporaryDir tmp;
    const QString master = tmp.filePath(QStringLiteral("MASTER"));
    const QString project = tmp.filePath(QStringLiteral("Demo"));
    QDir().mkpath(master);
    QDir().mkpath(project + QStringLiteral("/bin"));

    QRandomGenerator gen(58104);
    const QString firmware = master + QStringLiteral("/FX58104.sx");
    const QByteArray firmwareText = makeFirmware(gen);
    bool ok = writeFile(firmware, firmwareText);
    for (int k = 1; k <= SrecMerge::BankCount; ++k)
        ok = ok && writeFile(project + QStringLiteral("/bin/bank%1.bin").arg(k), randomBytes(gen, SrecMerge::BankSize));
    if (!ok) {
        out << "cannot write the input files\n";
        return 1;
    }
    out << "input: " << firmwareText.size() << " bytes of S-records, two 16384-byte banks; median of " << kRuns
        << " runs\n";

    const SrecMerge::SxFiles files = SrecMerge::filesFor(project, master, QStringLiteral("FX58104.sx"));
    const double chainMs = medianMs([&] { return !SrecMerge::runChain(files).stopped(); }, ok);
    out << QStringLiteral("our chain, in process:   %1 ms\n").arg(chainMs, 0, 'f', 2);

    const QString cli = QStringLiteral(PRAXEDO_CLI_PATH);
    const QStringList cliArgs{QStringLiteral("firmware"), project, firmware};
    const double cliMs = medianMs([&] { return runProcess(cli, cliArgs); }, ok);
    out << QStringLiteral("our chain, praxedo-cli:  %1 ms\n").arg(cliMs, 0, 'f', 2);
    if (!ok) {
        out << "our chain failed\n";
        return 1;
    }

    const QString srecCat = QStandardPaths::findExecutable(QStringLiteral("srec_cat"));
    if (srecCat.isEmpty()) {
        out << "srec_cat not found (Debian package srecord): no comparison\n";
        return 0;
    }
    const QString theirs = tmp.filePath(QStringLiteral("srec_cat.sx"));
    const QStringList catArgs{firmware,
                              QStringLiteral("-exclude"),
                              QStringLiteral("0x388000"),
                              QStringLiteral("0x38C000"),
                              QStringLiteral("-exclude"),
                              QStringLiteral("0x398000"),
                              QStringLiteral("0x39C000"),
                              project + QStringLiteral("/bin/bank1.bin"),
                              QStringLiteral("-binary"),
                              QStringLiteral("-offset"),
                              QStringLiteral("0x388000"),
                              project + QStringLiteral("/bin/bank2.bin"),
                              QStringLiteral("-binary"),
                              QStringLiteral("-offset"),
                              QStringLiteral("0x398000"),
                              QStringLiteral("-o"),
                              theirs,
                              QStringLiteral("-address-length=3"),
                              QStringLiteral("-output-block-size=32")};
    QString catErrors;
    const double catMs = medianMs([&] { return runProcess(srecCat, catArgs, &catErrors); }, ok);
    if (!ok) {
        out << "srec_cat failed: " << catErrors << '\n';
        return 1;
    }
    out << QStringLiteral("srec_cat:                %1 ms\n").arg(catMs, 0, 'f', 2);

    // Both must hold the same data, or the comparison means nothing.
    const QString srecCmp = QStandardPaths::findExecutable(QStringLiteral("srec_cmp"));
    if (!srecCmp.isEmpty()) {
        QString cmpErrors;
        const bool same = runProcess(srecCmp, {files.newFilePath(), theirs}, &cmpErrors);
        out << "same data as srec_cat: " << (same ? "yes" : "NO") << '\n';
        if (!same) {
            out << cmpErrors << '\n';
            return 1;
        }
    }
    out << QStringLiteral("ratio srec_cat / in-process chain: %1\n").arg(catMs / chainMs, 0, 'f', 1);
    out << QStringLiteral("ratio srec_cat / praxedo-cli:      %1\n").arg(catMs / cliMs, 0, 'f', 1);
    return 0;
}
