#pragma once

#include "core/i18n/VersionCheck.h"

#include <QString>

#include <memory>

class TFPraxedoreFirmWare;

// The configurator as the program starts it: the main window first (its creation fills the
// catalog and the product texts the other windows read while they are created), then every
// other window, wired to it. Used by main() and by the start-up benchmark.
class Configurator
{
public:
    explicit Configurator(const QString &exeDir);
    ~Configurator();
    Configurator(const Configurator &) = delete;
    Configurator &operator=(const Configurator &) = delete;

    TFPraxedoreFirmWare &mainWindow() { return *m_mainWindow; }

private:
    // One check serves the timer and the options window, so two never overlap.
    VersionCheck m_versionCheck;
    std::unique_ptr<TFPraxedoreFirmWare> m_mainWindow;
};
