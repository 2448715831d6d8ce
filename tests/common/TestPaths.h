#pragma once

#include <QDir>
#include <QString>

// Where the tests find their fixtures and stand-in programs; set by CMake.
namespace TestPaths {
inline QString data(const QString &relative = QString())
{
    return QDir(QStringLiteral(PRAXEDO_TEST_DATA_DIR)).filePath(relative);
}
inline QString tool(const QString &name)
{
#ifdef Q_OS_WIN
    return QDir(QStringLiteral(PRAXEDO_TEST_TOOLS_DIR)).filePath(name + QStringLiteral(".exe"));
#else
    return QDir(QStringLiteral(PRAXEDO_TEST_TOOLS_DIR)).filePath(name);
#endif
}
inline QString cli()
{
    return QStringLiteral(PRAXEDO_CLI_PATH);
}
} // namespace TestPaths
