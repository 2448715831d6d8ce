#include "cli/Commands.h"

#include "cli/ProjectArgs.h"
#include "core/base/Catalog.h"
#include "core/config/CobIdChecks.h"
#include "core/config/CobIdDocument.h"
#include "core/config/CobIdImport.h"
#include "core/config/DbcImport.h"
#include "core/config/FilterTables.h"
#include "core/config/ParGen.h"
#include "core/projects/ProjectLock.h"

#include <QDir>

namespace Cli {

// Like editing the table in the filter window and pressing OK: the file's rows go into the
// table, both tables are validated with the window's rules, and the document is saved only
// when they pass. Duplicated identifiers are reported but do not stop the import.
int runImport(const QStringList &args, Io &io)
{
    const ParsedArgs a =
        parseArgs(args, {QStringLiteral("--table")}, {QStringLiteral("--append"), QStringLiteral("--as-29-bit")});
    const std::optional<Direction> table = directionArg(a.values.value(QStringLiteral("--table")));
    if (!a.error.isEmpty() || a.positional.size() != 2 || !table) {
        if (!a.error.isEmpty())
            io.err << "praxedo-cli import: " << a.error << '\n';
        io.err << "Usage: praxedo-cli import PROJECT_DIR --table 0|1 FILE.csv|FILE.dbc [--append] [--as-29-bit]\n";
        return 1;
    }
    AppState state;
    QString error = openProject(a.positional.at(0), state);
    if (!error.isEmpty()) {
        io.err << "praxedo-cli import: " << error << '\n';
        return 2;
    }
    const QString file = a.positional.at(1);
    if (CobIdImport::kindOf(file) == CobIdImport::Kind::Unknown) {
        io.err << "praxedo-cli import: " << QDir::toNativeSeparators(file) << " is neither a .csv nor a .dbc file\n";
        return 1;
    }

    // From reading the tables to saving them, so that another import in between is not lost.
    ProjectLock lock(state.Dir_Project);
    if (!lock.acquire()) {
        io.err << lock.refusal() << '\n';
        return 2;
    }
    FilterTables opened;
    error = opened.open(state.File_ParGen, state.File_CobID);
    const ParGenFilterValues &filter = opened.parGen;
    CobIdDocument &document = opened.document;
    const CobIdDocument::ReadReport &report = opened.report;
    std::vector<ImportedRow> rows;
    DbcImport::Report dbc;
    const bool as29Bit = a.flags.contains(QStringLiteral("--as-29-bit"));
    if (error.isEmpty()) {
        error = CobIdImport::readFile(file, filter.positive, rows,
                                      as29Bit ? DbcImport::WideIds::As29Bit : DbcImport::WideIds::Refuse, &dbc);
        if (!error.isEmpty() && dbc.wideIds > 0 && !as29Bit)
            error += QStringLiteral("\nAdd --as-29-bit to take them as 29-bit identifiers.");
    }
    const auto mode =
        a.flags.contains(QStringLiteral("--append")) ? CobIdImport::Mode::Append : CobIdImport::Mode::Replace;
    if (error.isEmpty())
        error = CobIdImport::apply(document.table(table->index()), rows, mode, QDir::toNativeSeparators(file));
    if (error.isEmpty())
        error = CobIdImport::hiddenRowsRefusal(report, state.File_CobID);
    if (error.isEmpty()) {
        Catalog catalog;
        catalog.Load_Default_Texts();
        error = document.Controllo_dati(filter.positive, catalog);
        if (!error.isEmpty())
            error = QStringLiteral("nothing imported: ") + error;
    }
    if (error.isEmpty())
        error = document.save(state.File_CobID);
    if (!error.isEmpty()) {
        io.err << error << '\n';
        return 2;
    }
    for (const QString &warning : dbc.warnings)
        io.err << "warning: " << warning << '\n';
    if (as29Bit && dbc.wideIds > 0)
        io.err << "warning: " << dbc.wideIds << (dbc.wideIds == 1 ? " identifier" : " identifiers")
               << " beyond 0x7FF without the 29-bit flag taken as 29-bit\n";
    const QString warning = CobIdDocument::warning(report, state.File_CobID);
    if (!warning.isEmpty())
        io.err << "warning: " << warning << '\n';
    const QString duplicates = CobIdChecks::duplicatesText(CobIdChecks::duplicates(document.table(table->index())));
    if (!duplicates.isEmpty())
        io.err << "warning: original identifiers listed more than once in " << directionTitle(*table) << ":\n"
               << duplicates << '\n';
    io.out << "Imported " << rows.size() << (rows.size() == 1 ? " row into " : " rows into ") << directionTitle(*table)
           << "; " << CobIdChecks::usedRowsText(document.table(table->index())) << '\n';
    return 0;
}

} // namespace Cli
