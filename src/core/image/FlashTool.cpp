#include "core/image/FlashTool.h"

#include "core/app/AppState.h"

#include <QDir>
#include <QProcess>

namespace FlashTool {

QString programPath(const QString &dirExe)
{
    return joinPath(dirExe, QString::fromUtf16(ProgramName));
}

QString parameterText(const QString &file, int port)
{
    return QStringLiteral("\"%1\" %2").arg(file).arg(port);
}

QString startDetached(const QString &program, const QString &file, int port)
{
    QProcess process;
    process.setProgram(program);
#ifdef Q_OS_WIN
    // The tool parses its own command line; hand it exactly the documented text.
    process.setNativeArguments(parameterText(file, port));
#else
    process.setArguments({file, QString::number(port)});
#endif
    if (!process.startDetached())
        return QStringLiteral("Cannot start %1: %2").arg(QDir::toNativeSeparators(program), process.errorString());
    return QString();
}

} // namespace FlashTool
