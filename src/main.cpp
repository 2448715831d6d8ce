#include "core/app/AppState.h"
#include "core/i18n/Catalog.h"
#include "core/i18n/VersionCheck.h"
#include "ui/app/TFAbout.h"
#include "ui/app/TFPraxedoreFirmWare.h"
#include "ui/config/TFParGen2.h"
#include "ui/config/TFSetCobIDAccess.h"
#include "ui/i18n/TFSoftOptions.h"
#include "ui/image/TFModifyFileSx.h"
#include "ui/projects/TFNew_Project.h"
#include "ui/projects/TFOpenConf.h"
#include "ui/update/TFBoot.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Praxedo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Praxedo"));

    AppState &state = appState();
    Catalog &texts = catalog();
    // One check serves the timer and the options window, so two never overlap.
    VersionCheck versionCheck;
    const auto checkVersion = [&versionCheck] { return versionCheck.Check_Version(); };

    // The main window comes first: its creation fills the catalog and the product texts
    // that the other windows read while they are created.
    TFPraxedoreFirmWare mainWindow(state, texts, QCoreApplication::applicationDirPath());
    TFPraxedoreFirmWare::Windows w;
    w.newProject = new TFNew_Project(state, texts, &mainWindow);
    w.openConf = new TFOpenConf(state, texts, &mainWindow);
    w.about = new TFAbout(state, texts, &mainWindow);
    auto *softOptions = new TFSoftOptions(state, texts, &mainWindow);
    softOptions->setChangeLanguage([&mainWindow] { mainWindow.Change_Language(); });
    softOptions->setTimerRule([&mainWindow] { mainWindow.applyTimerRule(); });
    softOptions->setVersionCheck(checkVersion);
    w.softOptions = softOptions;
    w.setCobIDAccess = new TFSetCobIDAccess(state, texts, &mainWindow);
    w.boot = new TFBoot(state, texts, &mainWindow);
    w.parGen2 = new TFParGen2(state, texts, &mainWindow);
    w.modifyFileSx = new TFModifyFileSx(state, texts, &mainWindow);
    mainWindow.setWindows(w);
    mainWindow.setVersionCheck(checkVersion);

    mainWindow.show();
    return app.exec();
}
