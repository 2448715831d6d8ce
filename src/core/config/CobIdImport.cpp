#include "core/config/CobIdImport.h"

#include "core/app/FileIo.h"
#include "core/config/CobIdCsv.h"
#include "core/config/DbcImport.h"

#include <QDir>
#include <QFileInfo>

namespace CobIdImport {

namespace {
// Far beyond 2048 rows of any sensible text; a larger file is not a table.
constexpr qint64 MaxFileBytes = 16ll * 1024 * 1024;
} // namespace

Kind kindOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0)
        return Kind::Csv;
    if (suffix.compare(QLatin1String("dbc"), Qt::CaseInsensitive) == 0)
        return Kind::Dbc;
    return Kind::Unknown;
}

QString readFile(const QString &path, bool fillModify, std::vector<ImportedRow> &rows)
{
    return readFile(path, fillModify, rows, DbcImport::WideIds::Refuse, nullptr);
}

QString readFile(const QString &path, bool fillModify, std::vector<ImportedRow> &rows, DbcImport::WideIds wideIds,
                 DbcImport::Report *report)
{
    const Kind kind = kindOf(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (kind == Kind::Unknown)
        return QStringLiteral("%1: only .csv and .dbc files can be imported").arg(shown);
    QByteArray bytes;
    const QString error = FileIo::readFile(path, bytes, MaxFileBytes);
    if (!error.isEmpty())
        return error;
    return kind == Kind::Csv ? CobIdCsv::parse(bytes, shown, rows)
                             : DbcImport::parse(bytes, shown, fillModify, rows, wideIds, report);
}

QString apply(CobIdTable &table, const std::vector<ImportedRow> &rows, Mode mode, const QString &shownName)
{
    const int kept = mode == Mode::Append ? table.usedRowCount() : 0;
    const int room = CobIdTable::RowCount - kept;
    if (int(rows.size()) > room) {
        const int line = rows[size_t(room)].line;
        if (mode == Mode::Replace)
            return QStringLiteral("%1, line %2: more than %3 rows; a table has %3 rows")
                .arg(shownName, QString::number(line), QString::number(CobIdTable::RowCount));
        return QStringLiteral("%1, line %2: the table is full; %3 rows in use and %4 to import make more than %5")
            .arg(shownName, QString::number(line), QString::number(kept), QString::number(rows.size()),
                 QString::number(CobIdTable::RowCount));
    }
    if (table.typesFollowPorts()) {
        for (const ImportedRow &row : rows) {
            for (const int c : {int(CobIdTable::TypeCobId), int(CobIdTable::TypeMCobId)}) {
                const QString &text = row.cells[size_t(c)];
                const QString port = table.portType(c);
                if (!text.isEmpty() && text != port)
                    return QStringLiteral("%1, line %2: the %3 type %4 differs from %5, the type of the port it "
                                          "belongs to (a device without Ethernet port takes the row types from its ports)")
                        .arg(shownName, QString::number(row.line),
                             c == CobIdTable::TypeCobId ? QStringLiteral("Original CobID") : QStringLiteral("Modify CobID"),
                             text, port);
            }
        }
    }

    const auto portColumn = [&](int c) {
        return table.typesFollowPorts() && (c == CobIdTable::TypeCobId || c == CobIdTable::TypeMCobId);
    };
    int r = kept;
    for (const ImportedRow &row : rows) {
        for (int c = 0; c < CobIdTable::CellCount; ++c)
            table.setCell(r, c, portColumn(c) ? table.portType(c) : row.cells[size_t(c)]);
        ++r;
    }
    for (; r < CobIdTable::RowCount; ++r) {
        for (int c = 0; c < CobIdTable::CellCount; ++c)
            table.setCell(r, c, portColumn(c) ? table.portType(c) : QString());
    }
    return QString();
}

} // namespace CobIdImport
