#pragma once

#include "core/config/CobIdDocument.h"
#include "core/config/ParGen.h"

#include <QString>

class DocumentStamp;

// The two filter tables as the filter window opens them, for every front end that edits or
// checks them: ParGen.xml's values for the window, then CanCanCobID.xml read under them.
struct FilterTables
{
    ParGenFilterValues parGen;
    CobIdDocument document;
    CobIdDocument::ReadReport report;

    // Empty on success, else the first failure. `cobIdStamp`, when given, stamps the bytes of
    // CanCanCobID.xml the tables were read from.
    QString open(const QString &fileParGen, const QString &fileCobId, DocumentStamp *cobIdStamp = nullptr);
};
