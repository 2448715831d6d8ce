#pragma once

#include "core/config/CobIdDocument.h"
#include "core/config/CobIdTable.h"
#include "core/config/ImportedRow.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace DbcImport {
enum class WideIds;
struct Report;
} // namespace DbcImport

// Bringing rows from a file into one filter table. Files are read whole before anything is
// put into the table, and a refused file leaves the table as it was.
namespace CobIdImport {

enum class Mode {
    Replace, // the file's rows become the table's used rows
    Append,  // the file's rows follow the used rows
};

enum class Kind { Csv, Dbc, Unknown };
// By the file name's extension, either case.
Kind kindOf(const QString &path);

// Reads a .csv or .dbc file into rows. A file that gives no row is refused, saying what it
// holds instead (nothing, binary bytes, only a header, no message), so that an import never
// empties a table. `fillModify`: DBC messages also fill the Modify columns with their own
// identifier and type (they pass unchanged with positive implementation on). Returns an empty
// text, or the file name, the line and the reason.
QString readFile(const QString &path, bool fillModify, std::vector<ImportedRow> &rows);
// The same with the DBC reader's choices and its report (both unused for a CSV file).
QString readFile(const QString &path, bool fillModify, std::vector<ImportedRow> &rows, DbcImport::WideIds wideIds,
                 DbcImport::Report *report);

// Puts `rows` into the table. Afterwards the table holds the kept used rows (none for
// Replace) followed by `rows`, and every row behind them is empty: rows that lay beyond a blank
// Original CobID were outside the table already and the next save would drop them.
// Refused, the table untouched, when the rows would not fit in the 2048 rows, when a cell is
// longer than CobIdTable::MaxCellLength, or when the
// table's types follow the ports and a row names a different type (an empty type cell takes
// the port's type). `shownName` names the file in the message.
QString apply(CobIdTable &table, const std::vector<ImportedRow> &rows, Mode mode, const QString &shownName);

// Saving after an import writes only what the tables show: rows the reader left out of either
// table (ReadReport::hiddenRows) would be lost. The refusal names them as `check` does; empty
// when there are none. `path` is the document's.
QString hiddenRowsRefusal(const CobIdDocument::ReadReport &report, const QString &path);

} // namespace CobIdImport
