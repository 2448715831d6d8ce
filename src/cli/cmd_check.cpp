#include "cli/Commands.h"

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "core/config/CobIdDocument.h"
#include "core/config/FilterTables.h"
#include "core/config/ParGen.h"
#include "core/image/ConfigBuilder.h"

#include <QDir>
#include <QFileInfo>

namespace Cli {

// Both documents are checked as their windows would check them on OK: ParGen.xml as the
// communication settings window reads it, then the filter tables with the device type, port
// types and positive option as the filter window reads them; then as a build reads them.
// Messages are the English texts.
int runCheck(const QStringList &args, Io &io)
{
    if (args.size() != 1 || args.first().startsWith(u'-')) {
        io.err << "Usage: praxedo-cli check PROJECT_DIR\n";
        return 1;
    }
    const QFileInfo dir(args.first());
    if (!dir.isDir()) {
        io.err << "praxedo-cli check: " << QDir::toNativeSeparators(args.first()) << " is not a folder\n";
        return 2;
    }

    AppState state;
    state.Dir_Project = dir.absoluteFilePath();
    Set_Files(state);
    Catalog catalog;
    catalog.Load_Default_Texts();

    ParGenValues values;
    QString error = ParGen::readForSettingsWindow(state.File_ParGen, values);
    if (error.isEmpty())
        error = ParGen::Controllo_Dati(values, catalog);
    if (!error.isEmpty()) {
        io.err << error << '\n';
        return 2;
    }

    FilterTables opened;
    error = opened.open(state.File_ParGen, state.File_CobID);
    const ParGenFilterValues &filter = opened.parGen;
    CobIdDocument &tables = opened.document;
    const CobIdDocument::ReadReport &report = opened.report;
    if (error.isEmpty())
        error = tables.Controllo_dati(filter.positive, catalog);
    if (!error.isEmpty()) {
        io.err << error << '\n';
        return 2;
    }
    // OK means the project builds, so the build's own readers, stricter than the editors', have
    // their say too.
    ConfigBuilder builder;
    error = builder.Build_Config(state.File_ParGen, state.File_CobID);
    if (!error.isEmpty()) {
        io.err << error << '\n';
        return 2;
    }
    const QString warning = CobIdDocument::warning(report, state.File_CobID);
    if (report.hasHidden()) {
        io.err << warning << "\nThe filter window and a build see different tables.\n";
        return 2;
    }
    if (!warning.isEmpty())
        io.err << "warning: " << warning << '\n';
    io.out << "OK\n";
    return 0;
}

} // namespace Cli
