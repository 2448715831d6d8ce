#pragma once

#include "core/config/CobIdTable.h"

#include <QByteArray>
#include <QString>

// A table row read from a CSV or DBC file, with the file line it starts on for messages.
struct ImportedRow
{
    int line = 0;
    CobIdTable::Row cells;
};

// Refusal of a file to import that holds a NUL byte, which no text file holds; empty when it
// holds none. Both readers use it.
QString binaryImportRefusal(const QByteArray &bytes, const QString &shownName);
