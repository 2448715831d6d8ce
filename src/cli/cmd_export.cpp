#include "cli/Commands.h"

#include "cli/ProjectArgs.h"
#include "core/config/CobIdCsv.h"
#include "core/config/CobIdDocument.h"
#include "core/config/FilterTables.h"
#include "core/config/ParGen.h"

#include <QDir>

namespace Cli {

// The table as the filter window shows it: ParGen.xml decides the type columns for a device
// without Ethernet port, then CanCanCobID.xml is read over the prepared tables.
int runExport(const QStringList &args, Io &io)
{
    const ParsedArgs a = parseArgs(args, {QStringLiteral("--table")}, {});
    const std::optional<Direction> table = directionArg(a.values.value(QStringLiteral("--table")));
    if (!a.error.isEmpty() || a.positional.size() != 2 || !table) {
        if (!a.error.isEmpty())
            io.err << "praxedo-cli export: " << a.error << '\n';
        io.err << "Usage: praxedo-cli export PROJECT_DIR --table 0|1 FILE.csv|-\n";
        return 1;
    }
    AppState state;
    QString error = openProject(a.positional.at(0), state);
    if (!error.isEmpty()) {
        io.err << "praxedo-cli export: " << error << '\n';
        return 2;
    }

    error = refuseOutput(a.positional.at(1), state);
    if (!error.isEmpty()) {
        io.err << "praxedo-cli export: " << error << '\n';
        return 2;
    }
    FilterTables opened;
    error = opened.open(state.File_ParGen, state.File_CobID);
    CobIdDocument &document = opened.document;
    const CobIdDocument::ReadReport &report = opened.report;
    if (error.isEmpty())
        error = writeOutput(a.positional.at(1), CobIdCsv::toBytes(document.table(table->index())));
    if (!error.isEmpty()) {
        io.err << error << '\n';
        return 2;
    }
    const QString warning = CobIdDocument::warning(report, state.File_CobID);
    if (!warning.isEmpty())
        io.err << "warning: " << warning << '\n';
    // With the table on standard output, the summary goes where the messages go.
    QTextStream &summary = isStandardOutput(a.positional.at(1)) ? io.err : io.out;
    const int count = document.table(table->index()).usedRowCount();
    summary << "Exported " << count << (count == 1 ? " row of " : " rows of ") << directionTitle(*table) << " to "
            << outputName(a.positional.at(1)) << '\n';
    return 0;
}

} // namespace Cli
