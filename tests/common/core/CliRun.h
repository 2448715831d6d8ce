#pragma once

#include "TestPaths.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStringList>

// Runs praxedo-cli as a script would and keeps what it printed.
namespace CliRun {

struct Result
{
    int exitCode = -1; // -1 when it did not end normally
    QByteArray out;
    QByteArray err;
    QByteArray rawOut; // standard output byte for byte, for a file written to it
};

// Standard output and error are text: on Windows every line ends in CR LF. Output that keeps
// to the platform's convention is handed back with LF line ends; anything else (a bare LF, a
// doubled CR) is left as it is, so that the comparison shows it.
inline QByteArray text(const QByteArray &bytes)
{
#ifdef Q_OS_WIN
    QByteArray lf = bytes;
    lf.replace("\r\n", "\n");
    if (lf.contains('\r') || lf.count('\n') != bytes.count("\r\n"))
        return bytes;
    return lf;
#else
    return bytes;
#endif
}

inline Result run(const QStringList &args)
{
    QProcess p;
    p.start(TestPaths::cli(), args);
    Result r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.rawOut = p.readAllStandardOutput();
    r.out = text(r.rawOut);
    r.err = text(p.readAllStandardError());
    return r;
}

inline bool put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace CliRun
