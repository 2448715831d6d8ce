#include "ui/app/Configurator.h"

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "core/base/FileIo.h"
#include "ui/app/TFAbout.h"
#include "ui/app/TFPraxedoreFirmWare.h"
#include "ui/config/TFParGen2.h"
#include "ui/config/TFSetCobIDAccess.h"
#include "ui/i18n/TFSoftOptions.h"
#include "ui/image/TFModifyFileSx.h"
#include "ui/projects/TFNew_Project.h"
#include "ui/projects/TFOpenConf.h"
#include "ui/update/TFBoot.h"
#include "ui/widgets/Prompt.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>

Configurator::Configurator(const QString &exeDir)
{
    m_mainWindow = std::make_unique<TFPraxedoreFirmWare>(appState(), catalog(), exeDir);
    m_mainWindow->setVersionCheck([this] { return m_versionCheck.Check_Version(); });
    // A save that could not keep a file's owner says so in a box, on the window thread.
    FileIo::setNoteHandler([window = QPointer<QWidget>(m_mainWindow.get())](const QString &note) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [window, note] {
                QWidget *parent = QApplication::activeWindow() ? QApplication::activeWindow() : window.data();
                prompt().warning(parent, note);
            },
            Qt::QueuedConnection);
    });
    QCoreApplication::instance()->installEventFilter(this);
    // Should the main window never paint (started minimised), the windows still come.
    QTimer::singleShot(500, this, &Configurator::createWindows);
}

bool Configurator::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Paint:
        if (watched == m_mainWindow.get())
            QTimer::singleShot(0, this, &Configurator::createWindows); // once this paint is on screen
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
        createWindows(); // input must find every window in place
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void Configurator::createWindows()
{
    if (m_windowsCreated)
        return;
    m_windowsCreated = true;
    QCoreApplication::instance()->removeEventFilter(this);
    AppState &state = appState();
    Catalog &texts = catalog();
    const auto checkVersion = [this] { return m_versionCheck.Check_Version(); };
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
}

Configurator::~Configurator() = default;
