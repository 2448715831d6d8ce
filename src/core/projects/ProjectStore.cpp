#include "core/projects/ProjectStore.h"

#include "core/app/AppState.h"
#include "core/base/IntText.h"
#include "core/projects/ProjectName.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace {

bool isSystemEntry(const QString &path)
{
#ifdef Q_OS_WIN
    const DWORD attributes =
        GetFileAttributesW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_SYSTEM);
#else
    Q_UNUSED(path);
    return false;
#endif
}

} // namespace

namespace ProjectStore {

int messageIndex(CreateResult result)
{
    switch (result) {
    case CreateResult::Created:
        return 0;
    case CreateResult::EmptyName:
        return 107;
    case CreateResult::AlreadyExists:
        return 106;
    case CreateResult::Refused:
        break;
    }
    return 105;
}

CreateResult create(AppState &state, const QString &name)
{
    if (name.isEmpty())
        return CreateResult::EmptyName;
    // "." and ".." name folders that always exist.
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return CreateResult::AlreadyExists;
    // A separator would create a folder inside another project or outside PROJECTS.
    if (!isPlainFolderName(name))
        return CreateResult::Refused;
    // A folder named only by blanks cannot be told apart, and some systems drop it.
    if (std::all_of(name.cbegin(), name.cend(), [](QChar c) { return c.unicode() <= 32; }))
        return CreateResult::Refused;
    const QString path = joinPath(state.Dir_Projects, name);
    if (QFileInfo(path).isDir())
        return CreateResult::AlreadyExists;
    // One folder only: a missing PROJECTS folder is a refusal, not something to rebuild here.
    if (!QDir(state.Dir_Projects).mkdir(name))
        return CreateResult::Refused;
    QDir().mkpath(joinPath(path, QStringLiteral("bin"))); // a project without bin still works

    state.Name_Project = name;
    state.Dir_Project = path;
    Set_Files(state);
    return CreateResult::Created;
}

QStringList Load_Existing_Configuration(const QString &dirProjects)
{
    QStringList names;
    if (dirProjects.isEmpty())
        return names;
    const QDir dir(dirProjects);
    const QFileInfoList entries = dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QFileInfo &entry : entries) {
        if (entry.isHidden() || isSystemEntry(entry.filePath()))
            continue;
        names.append(entry.fileName());
    }
    // By name whatever the file system's order, as the system's file manager lists folders.
    names.sort(Qt::CaseInsensitive);
    return names;
}

int Search_Open_Conf(const QStringList &names, const QString &name)
{
    const QString wanted = IntText::upperAscii(name);
    for (int i = 0; i < names.size(); ++i) {
        if (IntText::upperAscii(names.at(i)) == wanted)
            return i;
    }
    return -1;
}

QString currentName(const AppState &state)
{
    if (state.Dir_Project.isEmpty())
        return QString();
    return state.Dir_Project.mid(state.Dir_Projects.size() + 1);
}

int preselect(const QStringList &names, const QString &current)
{
    const int found = Search_Open_Conf(names, current);
    if (found >= 0)
        return found;
    return names.isEmpty() ? -1 : 0;
}

} // namespace ProjectStore
