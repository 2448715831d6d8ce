#include "BusEntry.h"
#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "ui/app/Configurator.h"
#include "ui/app/TFPraxedoreFirmWare.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Praxedo"));
    // No display name: the window system would add it to every window title.

    Configurator configurator(QCoreApplication::applicationDirPath());
    installBusEntry(configurator.mainWindow(), appState(), catalog());
    configurator.mainWindow().show();
    return app.exec();
}
