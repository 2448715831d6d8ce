#pragma once

#include "core/config/ImportedRow.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

class QIODevice;

// One filter table as CSV: a header row with the five column titles, then one record per used
// row holding the cell texts exactly. Written as UTF-8 with comma separators and CR LF line
// ends; a field is quoted when it holds a separator, a quote, a line break or leading or
// trailing blanks, and quotes inside it are doubled. The Mnemonic is free text and goes through
// guardText; the identifiers and types are written as they are.
namespace CobIdCsv {

// Free text for a CSV cell. Spreadsheets take a cell starting with "=", "+", "-" or "@" for a
// formula, and show one starting with an apostrophe as the text after it: such a text gets a
// leading "'". So does a text starting with "'" before one of "=+-@'", so that unguardText,
// which takes one "'" off only there, gives every text back unchanged.
QString guardText(const QString &text);
QString unguardText(const QString &cell);

// "Original CobID", "Type CobID", "Modify CobID", "Type CobID", "Mnemonic"
const QStringList &header();

QByteArray toBytes(const CobIdTable &table);
QString write(const CobIdTable &table, QIODevice &device);
QString save(const CobIdTable &table, const QString &path); // atomic

// Reads what toBytes writes, and what spreadsheets make of it: an optional UTF-8 byte order
// mark, LF or CR LF line ends, ";" instead of "," when the header uses it, header titles in
// any case. Lines that hold nothing, or only empty fields, are skipped. Refuses, with
// "<shownName>, line N: <reason>", text that is not UTF-8, a missing header, a record without
// exactly five fields, a stray or unclosed quote, a row whose Original CobID is blank while
// other cells are not (it would end the table there), and control characters that the
// document cannot store; and a file with a NUL byte or no row after the header, which would
// import nothing. `rows` is set only when the whole file was read.
QString parse(const QByteArray &bytes, const QString &shownName, std::vector<ImportedRow> &rows);

} // namespace CobIdCsv
