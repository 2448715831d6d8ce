#include "core/config/FilterTables.h"

#include "core/base/DocumentStamp.h"

#include <QDir>

QString FilterTables::open(const QString &fileParGen, const QString &fileCobId, DocumentStamp *cobIdStamp)
{
    QString error = ParGen::readForFilterWindow(fileParGen, parGen);
    if (!error.isEmpty())
        return error;
    document = CobIdDocument(parGen);
    report = CobIdDocument::ReadReport();
    if (!cobIdStamp)
        return document.read(fileCobId, &report);
    QByteArray bytes;
    error = cobIdStamp->read(fileCobId, bytes, CobIdDocument::MaxFileBytes);
    if (!error.isEmpty() || cobIdStamp->isAbsent())
        return error;
    return document.read(bytes, QDir::toNativeSeparators(fileCobId), &report);
}
