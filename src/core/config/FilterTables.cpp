#include "core/config/FilterTables.h"

QString FilterTables::open(const QString &fileParGen, const QString &fileCobId)
{
    QString error = ParGen::readForFilterWindow(fileParGen, parGen);
    if (!error.isEmpty())
        return error;
    document = CobIdDocument(parGen);
    report = CobIdDocument::ReadReport();
    return document.read(fileCobId, &report);
}
