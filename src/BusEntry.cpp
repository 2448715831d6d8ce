#include "BusEntry.h"

#ifdef PRAXEDO_HAVE_BUS
#include "busui/TFVerifyBus.h"
#endif

void installBusEntry(TFPraxedoreFirmWare &mainWindow, AppState &state, Catalog &catalog)
{
#ifdef PRAXEDO_HAVE_BUS
    TFVerifyBus::installEntry(mainWindow, state, catalog);
#else
    (void)mainWindow;
    (void)state;
    (void)catalog;
#endif
}
