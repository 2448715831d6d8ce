#pragma once

#include "core/i18n/VersionCheck.h"

#include <QObject>
#include <QString>

#include <memory>

class TFPraxedoreFirmWare;

// The configurator as the program starts it: the main window first (its creation fills the
// catalog and the product texts the other windows read while they are created), then every
// other window, wired to it. The other windows are made once the main window has painted, so
// the user sees it sooner; they exist before any input is handled. Used by main() and by the
// start-up benchmark.
class Configurator : public QObject
{
public:
    explicit Configurator(const QString &exeDir);
    ~Configurator() override;
    Configurator(const Configurator &) = delete;
    Configurator &operator=(const Configurator &) = delete;

    TFPraxedoreFirmWare &mainWindow() { return *m_mainWindow; }
    // Makes the other windows now if they are not made yet.
    void createWindows();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_windowsCreated = false;
    // One check serves the timer and the options window, so two never overlap.
    VersionCheck m_versionCheck;
    std::unique_ptr<TFPraxedoreFirmWare> m_mainWindow;
};
