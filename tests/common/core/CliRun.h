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
};

inline Result run(const QStringList &args)
{
    QProcess p;
    p.start(TestPaths::cli(), args);
    Result r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

inline bool put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace CliRun
