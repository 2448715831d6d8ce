#include "core/projects/ProjectName.h"

bool isPlainFolderName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    // Both separators are refused everywhere, so a project folder moves between platforms.
    if (name.contains(u'/') || name.contains(u'\\') || name.contains(QChar(0)))
        return false;
#ifdef Q_OS_WIN
    if (name.contains(u':'))
        return false; // drive-relative paths such as "C:x"
#endif
    return true;
}
