#include "cli/Commands.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>
#include <QTextStream>

#include <memory>

int main(int argc, char *argv[])
{
#ifndef Q_OS_WIN
    // Windows hands the arguments over as UTF-16, so no name changes on the way in.
    {
        QTextStream err(stderr);
        if (const int refused = Cli::refuseUndecodable(argc, argv, err))
            return refused;
    }
#endif
    std::unique_ptr<QCoreApplication> app;
    if (argc > 1 && Cli::needsGui(QString::fromLocal8Bit(argv[1]))) {
#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
        // Draw without a display; Windows and macOS draw off-screen with their own platform.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("praxedo-cli"));
    return Cli::run(QCoreApplication::arguments().mid(1));
}
