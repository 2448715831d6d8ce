#pragma once

#include "core/base/Catalog.h"
#include "core/config/CobIdTable.h"

#include <QString>

#include <vector>

class CobIdDocument;

// Helpers around the filter tables that the validation does not cover: how full a table is,
// and which original identifiers are listed more than once.
namespace CobIdChecks {

// "0x181" for an 11-bit identifier, "0x18FEF100" for a 29-bit one.
QString idText(quint32 id, bool extended);

// "N of 2048 rows used"
QString usedRowsText(const CobIdTable &table, const Catalog &texts = Catalog::defaults());

// An original identifier listed in more than one used row.
struct Duplicate
{
    quint32 id = 0;
    bool extended = false; // 29-bit
    std::vector<int> rows; // as the window numbers them, from 1, ascending
    bool operator==(const Duplicate &o) const { return id == o.id && extended == o.extended && rows == o.rows; }
};

// The identifiers listed more than once among the used rows, in the order of their first row.
// An identifier is its number and its type together: 0x100 as 11-bit and 0x100 as 29-bit
// are different frames. Identifier texts are compared as numbers (0x181 and 385 are the
// same); an unreadable or negative one is left out. A type other than "2.0B 29bits" counts
// as 11-bit, as in the image.
std::vector<Duplicate> duplicates(const CobIdTable &table);

// One line per duplicated identifier, e.g. "0x181 (11-bit) in rows 3, 17"; empty when none.
QString duplicatesText(const std::vector<Duplicate> &found);

// For the warning on OK: the duplicates of both tables under their page titles; empty when
// neither table has one.
QString duplicatesWarning(const CobIdDocument &document);

} // namespace CobIdChecks
