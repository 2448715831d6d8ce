#include "core/update/ProgramRunner.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <thread>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <shellapi.h>
#else
#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;
#endif

namespace {
constexpr std::chrono::milliseconds Step{10};
}

SystemProgramRunner::SystemProgramRunner(std::chrono::milliseconds limit)
    : m_limit(limit)
{
}

#ifdef Q_OS_WIN

ProgramRunner::Outcome SystemProgramRunner::Start_Program(const QString &NomeSW, const QString &Parameter, bool tipo)
{
    const std::wstring file = QDir::toNativeSeparators(NomeSW).toStdWString();
    const std::wstring parameters = Parameter.toStdWString();

    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = tipo ? SW_HIDE : SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info) || !info.hProcess)
        return Outcome::NotStarted;

    // Waiting on the process handle rather than polling its exit code: a program that
    // exits with code 259 (STILL_ACTIVE) would otherwise be waited for until the limit.
    Outcome outcome = Outcome::LimitPassed;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (WaitForSingleObject(info.hProcess, DWORD(Step.count())) != WAIT_TIMEOUT) {
            outcome = Outcome::Ended;
            break;
        }
        if (clock.elapsed() >= m_limit.count())
            break;
    }
    CloseHandle(info.hProcess);
    return outcome;
}

#else

ProgramRunner::Outcome SystemProgramRunner::Start_Program(const QString &NomeSW, const QString &Parameter, bool tipo)
{
    Q_UNUSED(tipo); // programs here have no window to hide at start

    const QByteArray file = QFile::encodeName(NomeSW);
    QList<QByteArray> args{file};
    for (const QString &arg : QProcess::splitCommand(Parameter))
        args.append(arg.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    if (posix_spawn(&pid, file.constData(), nullptr, nullptr, argv.data(), environ) != 0)
        return Outcome::NotStarted;

    QElapsedTimer clock;
    clock.start();
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR))
            return Outcome::Ended;
        if (clock.elapsed() >= m_limit.count())
            break;
        std::this_thread::sleep_for(Step);
    }

    // The program keeps running on its own; someone still has to collect its exit status,
    // or it would linger as a zombie until this program ends.
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return Outcome::LimitPassed;
}

#endif
