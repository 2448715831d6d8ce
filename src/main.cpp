#include "ui/app/Configurator.h"
#include "ui/app/TFPraxedoreFirmWare.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Praxedo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Praxedo"));

    Configurator configurator(QCoreApplication::applicationDirPath());
    configurator.mainWindow().show();
    return app.exec();
}
