// Cold start of the configurator against a bare Qt Widgets window: a fresh process each time,
// from the start of the process to the first paint of its main window, and the peak memory
// of the process at that moment. Both run on the same platform plugin (offscreen unless
// QT_QPA_PLATFORM says otherwise), alternately, in one run. Prints the medians and the ratios.
//
//   bench_startup [RUNS]
//
// The program starts itself as the child in both cases ("--child configurator" or
// "--child bare"), so the two differ only in what they show.

#include "ui/app/Configurator.h"
#include "ui/app/TFPraxedoreFirmWare.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace {

// Peak resident memory of this process so far, in KiB.
long peakKib()
{
#ifdef Q_OS_UNIX
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#else
    return 0;
#endif
}

// Reports once, at the first paint of the watched window, and ends the process.
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            std::printf("shown %ld\n", peakKib());
            std::fflush(stdout);
            std::_Exit(0);
        }
        return QObject::eventFilter(watched, event);
    }
};

int child(int argc, char *argv[], const QString &kind, const QString &workspace)
{
    QApplication app(argc, argv);
    FirstPaint watcher;
    if (kind == QLatin1String("bare")) {
        QWidget window;
        window.resize(640, 480);
        window.installEventFilter(&watcher);
        window.show();
        return app.exec();
    }
    Configurator configurator(workspace);
    configurator.mainWindow().installEventFilter(&watcher);
    configurator.mainWindow().show();
    return app.exec();
}

struct Sample
{
    double ms = 0;
    long kib = 0;
};

bool runChild(const QString &self, const QString &kind, const QString &workspace, Sample &sample)
{
    QProcess p;
    QElapsedTimer timer;
    timer.start();
    p.start(self, {QStringLiteral("--child"), kind, workspace});
    if (!p.waitForStarted(30000))
        return false;
    QByteArray line;
    while (!line.contains('\n')) {
        if (!p.waitForReadyRead(30000))
            return false;
        line += p.readAllStandardOutput();
    }
    sample.ms = double(timer.nsecsElapsed()) / 1e6;
    p.waitForFinished(30000);
    const QList<QByteArray> parts = line.trimmed().split(' ');
    if (parts.size() != 2 || parts[0] != "shown")
        return false;
    sample.kib = parts[1].toLong();
    return true;
}

template <typename T>
T median(std::vector<T> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void copyLanguageFiles(const QString &to)
{
#ifdef PRAXEDO_SOURCE_DIR
    const QDir from(QStringLiteral(PRAXEDO_SOURCE_DIR "/resources/LANGUAGE"));
    QDir().mkpath(QDir(to).filePath(QStringLiteral("LANGUAGE")));
    for (const QString &name : from.entryList(QDir::Files))
        QFile::copy(from.filePath(name), QDir(to).filePath(QStringLiteral("LANGUAGE/") + name));
#else
    Q_UNUSED(to);
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 4 && qstrcmp(argv[1], "--child") == 0)
        return child(argc, argv, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));

    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 15;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    // A workspace as after installation: the shipped language files, no settings yet.
    QTemporaryDir workspace;
    if (!workspace.isValid())
        return 1;
    copyLanguageFiles(workspace.path());

    const QString self = QCoreApplication::applicationFilePath();
    std::vector<double> bareMs, appMs;
    std::vector<long> bareKib, appKib;
    // Two unmeasured rounds bring the libraries into the page cache for both.
    for (int i = -2; i < runs; ++i) {
        Sample bare, configurator;
        if (!runChild(self, QStringLiteral("bare"), workspace.path(), bare)
            || !runChild(self, QStringLiteral("configurator"), workspace.path(), configurator)) {
            std::fprintf(stderr, "a child did not show its window\n");
            return 1;
        }
        if (i < 0)
            continue;
        bareMs.push_back(bare.ms);
        appMs.push_back(configurator.ms);
        bareKib.push_back(bare.kib);
        appKib.push_back(configurator.kib);
    }

    const double bMs = median(bareMs), aMs = median(appMs);
    const long bKib = median(bareKib), aKib = median(appKib);
    std::printf("platform plugin: %s, %d runs each, medians\n", qgetenv("QT_QPA_PLATFORM").constData(), runs);
    std::printf("bare Qt Widgets window: %8.1f ms to first paint, %7ld KiB peak memory\n", bMs, bKib);
    std::printf("configurator:           %8.1f ms to first paint, %7ld KiB peak memory\n", aMs, aKib);
    std::printf("ratio start time: %.2f\n", aMs / bMs);
    std::printf("ratio peak memory: %.2f\n", double(aKib) / double(bKib));
    return 0;
}
