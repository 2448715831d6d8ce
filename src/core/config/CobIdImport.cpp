#include "core/config/CobIdImport.h"

#include "core/base/Catalog.h"
#include "core/base/FileIo.h"
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
        return Catalog::messages().text(TextId::ImportWrongFileType).arg(shown);
    QByteArray bytes;
    const QString error = FileIo::readFile(path, bytes, MaxFileBytes);
    if (!error.isEmpty())
        return error;
    return kind == Kind::Csv ? CobIdCsv::parse(bytes, shown, rows)
                             : DbcImport::parse(bytes, shown, fillModify, rows, wideIds, report);
}

QString apply(CobIdTable &table, const std::vector<ImportedRow> &rows, Mode mode, const QString &shownName)
{
    const Catalog &texts = Catalog::messages();
    const int kept = mode == Mode::Append ? table.usedRowCount() : 0;
    const int room = CobIdTable::RowCount - kept;
    if (int(rows.size()) > room) {
        const int line = rows[size_t(room)].line;
        if (mode == Mode::Replace)
            return texts.text(TextId::FileLineError)
                .arg(shownName, QString::number(line), texts.text(TextId::TableTooManyRows).arg(CobIdTable::RowCount));
        return texts.text(TextId::ImportTableFull)
            .arg(shownName, QString::number(line), QString::number(kept), QString::number(rows.size()),
                 QString::number(CobIdTable::RowCount));
    }
    for (const ImportedRow &row : rows) {
        const QString tooLong = CobIdTable::cellLengthError(row.cells);
        if (!tooLong.isEmpty())
            return texts.text(TextId::FileLineError).arg(shownName, QString::number(row.line), tooLong);
    }
    if (table.typesFollowPorts()) {
        for (const ImportedRow &row : rows) {
            for (const int c : {int(CobIdTable::TypeCobId), int(CobIdTable::TypeMCobId)}) {
                const QString &text = row.cells[size_t(c)];
                const QString port = table.portType(c);
                if (!text.isEmpty() && text != port)
                    return texts.text(TextId::ImportTypeDiffers)
                        .arg(shownName, QString::number(row.line), texts.text(c == CobIdTable::TypeCobId ? 513 : 515),
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

QString hiddenRowsRefusal(const CobIdDocument::ReadReport &report, const QString &path)
{
    if (!report.hasHidden())
        return QString();
    return Catalog::messages().text(TextId::ImportWouldDropRows) + u'\n' + CobIdDocument::hiddenWarning(report, path);
}

} // namespace CobIdImport
