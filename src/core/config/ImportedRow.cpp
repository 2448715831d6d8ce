#include "core/config/ImportedRow.h"

#include "core/base/Catalog.h"

#include <QByteArrayView>

QString binaryImportRefusal(const QByteArray &bytes, const QString &shownName)
{
    const qsizetype at = bytes.indexOf('\0');
    if (at < 0)
        return QString();
    const qsizetype line = QByteArrayView(bytes).first(at).count('\n') + 1;
    return Catalog::messages().text(TextId::ImportBinary).arg(shownName, QString::number(line));
}
