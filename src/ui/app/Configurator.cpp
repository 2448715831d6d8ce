#include "ui/app/Configurator.h"

#include "core/app/AppState.h"
#include "core/i18n/Catalog.h"
#include "ui/app/TFAbout.h"
#include "ui/app/TFPraxedoreFirmWare.h"
#include "ui/config/TFParGen2.h"
#include "ui/config/TFSetCobIDAccess.h"
#include "ui/i18n/TFSoftOptions.h"
#include "ui/image/TFModifyFileSx.h"
#include "ui/projects/TFNew_Project.h"
#include "ui/projects/TFOpenConf.h"
#include "ui/update/TFBoot.h"

Configurator::Configurator(const QString &exeDir)
{
    AppState &state = appState();
    Catalog &texts = catalog();
    const auto checkVersion = [this] { return m_versionCheck.Check_Version(); };

    m_mainWindow = std::make_unique<TFPraxedoreFirmWare>(state, texts, exeDir);
    TFPraxedoreFirmWare *main = m_mainWindow.get();
    TFPraxedoreFirmWare::Windows w;
    w.newProject = new TFNew_Project(state, texts, main);
    w.openConf = new TFOpenConf(state, texts, main);
    w.about = new TFAbout(state, texts, main);
    auto *softOptions = new TFSoftOptions(state, texts, main);
    softOptions->setChangeLanguage([main] { main->Change_Language(); });
    softOptions->setTimerRule([main] { main->applyTimerRule(); });
    softOptions->setVersionCheck(checkVersion);
    w.softOptions = softOptions;
    w.setCobIDAccess = new TFSetCobIDAccess(state, texts, main);
    w.boot = new TFBoot(state, texts, main);
    w.parGen2 = new TFParGen2(state, texts, main);
    w.modifyFileSx = new TFModifyFileSx(state, texts, main);
    main->setWindows(w);
    main->setVersionCheck(checkVersion);
}

Configurator::~Configurator() = default;
