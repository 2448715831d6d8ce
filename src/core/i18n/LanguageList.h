#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

// The languages the options window offers: the language files of the LANGUAGE folder,
// shown six to a page with their flag pictures.
namespace LanguageList {

inline constexpr int SlotsPerPage = 6;

// File names ("Deutsch.lng") of the language files in `dir` that may be offered: regular,
// writable files (a read-only file is kept out), sorted ignoring letter case with the
// collation of `locale`.
QStringList Create_Lang_List(const QString &dir, const QLocale &locale = QLocale());

// Sorts ignoring letter case with the collation of `locale`; ties keep a fixed order.
void sortNames(QStringList &names, const QLocale &locale = QLocale());

// (languages + 5) / 6.
int pageCount(int languages);

// How many slots page `page` (from 1) fills: 0 to 6.
int slotsOnPage(int languages, int page);

// The language shown in slot `slot` (1 to 6) of page `page` (from 1): its file name less
// ".lng"; empty when there is none.
QString nameAt(const QStringList &files, int page, int slot);

// The flag of a language: <name>.bmp, else DefaultFlag.bmp, else empty (no picture).
QString flagPath(const QString &dir, const QString &name);

} // namespace LanguageList
