#pragma once

#include "core/config/CobIdTable.h"

// A table row read from a CSV or DBC file, with the file line it starts on for messages.
struct ImportedRow
{
    int line = 0;
    CobIdTable::Row cells;
};
