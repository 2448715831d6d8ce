// Filter table CSV import: any bytes are read or refused with a message; rows that are read
// go into a table, and the table written as CSV reads back to the same rows.
#include "FuzzCheck.h"

#include "core/config/CobIdCsv.h"
#include "core/config/CobIdImport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<ImportedRow> rows;
    const QString error = CobIdCsv::parse(Fuzz::bytes(data, size), QStringLiteral("t.csv"), rows);
    if (!error.isEmpty()) {
        FUZZ_CHECK(rows.empty());
        return 0;
    }
    CobIdTable table;
    if (!CobIdImport::apply(table, rows, CobIdImport::Mode::Replace, QStringLiteral("t.csv")).isEmpty())
        return 0;
    std::vector<ImportedRow> back;
    FUZZ_CHECK(CobIdCsv::parse(CobIdCsv::toBytes(table), QStringLiteral("t.csv"), back).isEmpty());
    CobIdTable again;
    FUZZ_CHECK(CobIdImport::apply(again, back, CobIdImport::Mode::Replace, QStringLiteral("t.csv")).isEmpty());
    FUZZ_CHECK(again == table);
    return 0;
}
