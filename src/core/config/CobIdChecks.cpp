#include "core/config/CobIdChecks.h"

#include "core/base/Catalog.h"
#include "core/base/IntText.h"
#include "core/config/CobIdDocument.h"
#include "core/device/facts/Direction.h"

#include <QHash>
#include <QStringList>

namespace CobIdChecks {

QString idText(quint32 id, bool extended)
{
    return QStringLiteral("0x") + QString::number(id, 16).toUpper().rightJustified(extended ? 8 : 3, u'0');
}

QString usedRowsText(const CobIdTable &table, const Catalog &texts)
{
    return texts.text(TextId::RowsUsed).arg(table.usedRowCount()).arg(CobIdTable::RowCount);
}

std::vector<Duplicate> duplicates(const CobIdTable &table)
{
    std::vector<Duplicate> all;
    QHash<quint64, size_t> index; // number and type -> position in `all`
    const int used = table.usedRowCount();
    for (int r = 0; r < used; ++r) {
        const auto value = IntText::read(table.cell(r, CobIdTable::OrigCobId));
        if (!value || *value < 0)
            continue;
        const bool extended = table.cell(r, CobIdTable::TypeCobId) == CobIdTable::type29Bit();
        const quint64 key = quint64(quint32(*value)) | (extended ? (quint64(1) << 32) : 0);
        const auto it = index.constFind(key);
        if (it == index.constEnd()) {
            index.insert(key, all.size());
            all.push_back(Duplicate{quint32(*value), extended, {r + 1}});
        } else {
            all[*it].rows.push_back(r + 1);
        }
    }
    std::vector<Duplicate> found;
    for (Duplicate &d : all) {
        if (d.rows.size() > 1)
            found.push_back(std::move(d));
    }
    return found;
}

QString duplicatesText(const std::vector<Duplicate> &found)
{
    QStringList lines;
    for (const Duplicate &d : found) {
        QStringList rows;
        for (const int r : d.rows)
            rows.append(QString::number(r));
        const Catalog &texts = Catalog::messages();
        lines.append(
            texts.text(TextId::DuplicateRows)
                .arg(texts.text(d.extended ? TextId::FrameId29Bit : TextId::FrameId11Bit).arg(idText(d.id, d.extended)),
                     rows.join(QStringLiteral(", "))));
    }
    return lines.join(u'\n');
}

QString duplicatesWarning(const CobIdDocument &document)
{
    const Catalog &texts = Catalog::messages();
    QStringList parts;
    for (int t = 0; t < CobIdDocument::TableCount; ++t) {
        const QString text = duplicatesText(duplicates(document.table(t)));
        if (!text.isEmpty())
            parts.append(QStringLiteral("[%1]\n%2").arg(texts.text(Direction::at(t).titleText()), text));
    }
    if (parts.isEmpty())
        return QString();
    return texts.text(TextId::DuplicatesHeading) + QStringLiteral("\n\n") + parts.join(QStringLiteral("\n\n"));
}

} // namespace CobIdChecks
