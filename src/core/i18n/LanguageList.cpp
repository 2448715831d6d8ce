#include "core/i18n/LanguageList.h"

#include "core/app/AppState.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {
const QLatin1String kSuffix(".lng");

bool offered(const QFileInfo &info, const QString &dir)
{
    // Links, folders and devices are no language files; a read-only file is one the
    // user has locked away.
    if (info.isSymLink() || !info.isFile())
        return false;
    if (!(info.permissions() & QFileDevice::WriteOwner))
        return false;
    const QString name = info.fileName();
    if (name.size() <= kSuffix.size())
        return false;
    // Only what Load_Language can open under the shown name ("X.LNG" is no "X.lng" on a
    // case-sensitive file system).
    return QFileInfo(joinPath(dir, name.chopped(kSuffix.size()) + kSuffix)).isFile();
}
} // namespace

namespace LanguageList {

QStringList Create_Lang_List(const QString &dir, const QLocale &locale)
{
    QStringList names;
    if (dir.isEmpty())
        return names;
    const QDir folder(dir);
    const QFileInfoList entries =
        folder.entryInfoList({QStringLiteral("*.lng")}, QDir::Files | QDir::Hidden | QDir::System, QDir::NoSort);
    for (const QFileInfo &info : entries) {
        if (offered(info, dir))
            names.append(info.fileName());
    }
    sortNames(names, locale);
    return names;
}

void sortNames(QStringList &names, const QLocale &locale)
{
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Folding first keeps the order case-blind even where the collator ignores the setting.
    std::stable_sort(names.begin(), names.end(), [&collator](const QString &a, const QString &b) {
        const int c = collator.compare(a.toCaseFolded(), b.toCaseFolded());
        if (c != 0)
            return c < 0;
        return a < b;
    });
}

int pageCount(int languages)
{
    return (qMax(0, languages) + SlotsPerPage - 1) / SlotsPerPage;
}

int slotsOnPage(int languages, int page)
{
    return qBound(0, languages - SlotsPerPage * (page - 1), SlotsPerPage);
}

QString nameAt(const QStringList &files, int page, int slot)
{
    if (page < 1 || slot < 1 || slot > SlotsPerPage)
        return QString();
    const qsizetype i = qsizetype(SlotsPerPage) * (page - 1) + slot - 1;
    if (i >= files.size())
        return QString();
    const QString &file = files.at(i);
    return file.left(qMax<qsizetype>(0, file.size() - kSuffix.size()));
}

QString flagPath(const QString &dir, const QString &name)
{
    const QString own = joinPath(dir, name + QStringLiteral(".bmp"));
    if (QFileInfo(own).isFile())
        return own;
    const QString fallback = joinPath(dir, QStringLiteral("DefaultFlag.bmp"));
    if (QFileInfo(fallback).isFile())
        return fallback;
    return QString();
}

} // namespace LanguageList
