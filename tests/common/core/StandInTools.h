#pragma once

#include "TestPaths.h"

#include <QDir>
#include <QFile>

// Stand-in programs are copied before use, so that what they record beside themselves
// stays in the test's own folder and tests running at the same time never meet.
namespace StandInTools {

// Copies tests/tools/<tool> into `dir` as `asName`; returns the copy's path, empty on failure.
inline QString copy(const QString &tool, const QString &dir, const QString &asName)
{
    const QString source = TestPaths::tool(tool);
    const QString target = QDir(dir).filePath(asName);
    QFile::remove(target);
    if (!QFile::copy(source, target))
        return QString();
    QFile::setPermissions(target, QFile::permissions(source));
    return target;
}

// The arguments a copy of record_run was started with; `ran` false when it never ran.
inline QStringList recordedArguments(const QString &copyPath, bool *ran = nullptr)
{
    QFile file(copyPath + QStringLiteral(".ran"));
    if (ran)
        *ran = file.exists();
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList args;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (!line.isEmpty())
            args.append(QString::fromUtf8(line));
    }
    return args;
}

} // namespace StandInTools
