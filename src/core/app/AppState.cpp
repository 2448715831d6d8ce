#include "core/app/AppState.h"

#include "BuildConfig.h"

#include <QDir>

QString AppState::binDir() const
{
    return joinPath(Dir_Project, QStringLiteral("bin"));
}

namespace Product {
QString title()
{
    return QStringLiteral(
        "Velmornet - Configurator PK58104 - Repeater - Extender Bus Line - With Filter Data Configurable");
}

QString description()
{
    return QStringLiteral("Repeater - Extender Bus Line - With Filter Data Configurable");
}

QString vendorHost()
{
    return QStringLiteral(PRAXEDO_VENDOR_HOST);
}

QString homePageUrl()
{
    return QStringLiteral("http://%1/HOME/default.asp?frompg=PK58104").arg(vendorHost());
}

QString downloadPageUrl()
{
    return QStringLiteral("http://%1/Home/download/download.asp#DV58104").arg(vendorHost());
}
} // namespace Product

AppState &appState()
{
    static AppState state;
    return state;
}

void Set_Files(AppState &state)
{
    state.File_ParGen = joinPath(state.Dir_Project, QStringLiteral("ParGen.xml"));
    state.File_CobID = joinPath(state.Dir_Project, QStringLiteral("CanCanCobID.xml"));
}
