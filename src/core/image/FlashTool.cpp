#include "core/image/FlashTool.h"

#include "core/app/AppState.h"

#include <QDir>
#include <QProcess>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <shellapi.h>
#endif

namespace FlashTool {

QString programPath(const QString &dirExe)
{
    return joinPath(dirExe, QString::fromUtf16(ProgramName));
}

QString parameterText(const QString &file, int port)
{
    return QStringLiteral("\"%1\" %2").arg(file).arg(port);
}

#ifdef Q_OS_WIN

QString startDetached(const QString &program, const QString &file, int port)
{
    // Through the shell, as the tool has always been started: it parses its own command line,
    // so it is handed exactly the documented text.
    const std::wstring path = QDir::toNativeSeparators(program).toStdWString();
    const std::wstring parameters = parameterText(file, port).toStdWString();
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpFile = path.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info))
        return QStringLiteral("Cannot start %1: %2")
            .arg(QDir::toNativeSeparators(program), qt_error_string(int(GetLastError())));
    return QString();
}

#else

QString startDetached(const QString &program, const QString &file, int port)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments({file, QString::number(port)});
    if (!process.startDetached())
        return QStringLiteral("Cannot start %1: %2").arg(QDir::toNativeSeparators(program), process.errorString());
    return QString();
}

#endif

} // namespace FlashTool
