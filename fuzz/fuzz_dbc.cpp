// DBC import: any bytes are read or refused with a message; every row read names an
// identifier that reads as integer text.
#include "FuzzCheck.h"

#include "core/base/IntText.h"
#include "core/config/DbcImport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    for (const bool fillModify : {false, true}) {
        std::vector<ImportedRow> rows;
        const QString error = DbcImport::parse(Fuzz::bytes(data, size), QStringLiteral("v.dbc"), fillModify, rows);
        if (!error.isEmpty()) {
            FUZZ_CHECK(rows.empty());
            continue;
        }
        for (const ImportedRow &row : rows)
            FUZZ_CHECK(IntText::read(row.cells[CobIdTable::OrigCobId]).has_value());
    }
    return 0;
}
