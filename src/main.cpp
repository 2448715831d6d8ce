#include "ui/app/Configurator.h"
#include "ui/app/TFPraxedoreFirmWare.h"
#ifdef PRAXEDO_HAVE_BUS
#include "busui/TFVerifyBus.h"
#include "core/app/AppState.h"
#include "core/i18n/Catalog.h"
#endif

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Praxedo"));
    // No display name: the window system would add it to every window title.

    Configurator configurator(QCoreApplication::applicationDirPath());
#ifdef PRAXEDO_HAVE_BUS
    TFVerifyBus::installEntry(configurator.mainWindow(), appState(), catalog());
#endif
    configurator.mainWindow().show();
    return app.exec();
}
