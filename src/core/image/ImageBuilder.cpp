#include "core/image/ImageBuilder.h"

#include "core/base/IntText.h"
#include "core/image/XmlSource.h"

#include <algorithm>

namespace {
constexpr QLatin1String kExtended = QLatin1String("2.0B 29bits");
}

ImageBuilder::ImageBuilder()
    : Image_Buffer(BufferBytes, '\0')
{
}

void ImageBuilder::Clear_Tables()
{
    Table_Can0_to_Can1.clear();
    Table_Can1_to_Can0.clear();
}

QString ImageBuilder::Build_Image(const XmlSource &parGen, const FilterDocument &cobId)
{
    Par_Block.Set_Default_Par();
    Clear_Tables();
    QString error = Par_Block.Read_Par_Gen(parGen, m_types);
    if (!error.isEmpty())
        return error;
    error = Read_Cob_Tables(cobId);
    if (!error.isEmpty())
        return error;
    Table_Can0_to_Can1.Sort_Table(qint32(Par_Block.u32(ParBlock::Count_Can0_to_Can1)));
    Table_Can1_to_Can0.Sort_Table(qint32(Par_Block.u32(ParBlock::Count_Can1_to_Can0)));
    Image_Size = 0;
    Image_Size = Table_Can0_to_Can1.Pack_Table(Image_Size, DeviceFacts::TableRows, Image_Buffer);
    Image_Size = Table_Can1_to_Can0.Pack_Table(Image_Size, DeviceFacts::TableRows, Image_Buffer);
    Image_Size = Par_Block.Put_Checksum(Image_Size, Image_Buffer);
    return QString();
}

QString ImageBuilder::Read_Cob_Tables(const FilterDocument &cobId)
{
    if (!cobId.exists)
        return QString();
    if (!cobId.error.isEmpty())
        return cobId.error;
    // The root is the document's first node; a comment or other node before the root
    // element stands in its place and has no sections.
    if (!cobId.rootIsFirst)
        return QStringLiteral("Cannot read %1: the document must begin with its root element").arg(cobId.shownName);
    for (const Direction d : Direction::all()) {
        if (!cobId.section(d).present)
            return QStringLiteral("Cannot read %1: its root element has no element %2")
                .arg(cobId.shownName, QLatin1String(d.name()));
    }
    readSection(cobId.section(Direction::Can0ToCan1).rows, m_types.Type_CAN0, ParBlock::Count_Can0_to_Can1,
                Table_Can0_to_Can1);
    readSection(cobId.section(Direction::Can1ToCan0).rows, m_types.Type_CAN1, ParBlock::Count_Can1_to_Can0,
                Table_Can1_to_Can0);
    return QString();
}

void ImageBuilder::readSection(const std::vector<FilterRow> &rows, quint32 portType, int countOffset, CobTable &table)
{
    const int count = int(std::min<size_t>(rows.size(), MaxRows));
    Par_Block.setU32(countOffset, quint32(count));
    const bool positive = Par_Block.u32(ParBlock::Par_Flags) & ParBlock::FlagPositive;

    for (int i = 0; i < count; ++i) {
        const FilterRow &row = rows[size_t(i)];
        CobTable::Cob_Entry &entry = table[i];
        // A node that is not an element has no attributes to read: its words take the
        // values of a failed read.
        if (!row.isElement) {
            entry.Orig = portType == 1 ? DeviceFacts::ExtMark : 0;
            entry.Mod = 0;
            continue;
        }
        entry.Orig = quint32(IntText::readOr(row.orig, 0));
        if (row.type == kExtended)
            entry.Orig |= DeviceFacts::ExtMark;
        entry.Mod = 0;
        if (positive) {
            entry.Mod = quint32(IntText::readOr(row.mod, 0));
            if (row.modType == kExtended)
                entry.Mod |= DeviceFacts::ExtMark;
        }
    }
}
