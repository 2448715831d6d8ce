#pragma once

class TFPraxedoreFirmWare;
struct AppState;
class Catalog;

// Offers the bus window from the main window where this build has bus support. A build
// without it adds nothing: no entry that leads nowhere, no shortcut.
void installBusEntry(TFPraxedoreFirmWare &mainWindow, AppState &state, Catalog &catalog);
