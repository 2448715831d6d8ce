#include "core/image/ImageBuilder.h"

#include "core/app/IntText.h"
#include "core/app/XmlFile.h"
#include "core/image/XmlSource.h"

namespace {
const QString kExtended = QStringLiteral("2.0B 29bits");
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

QString ImageBuilder::Build_Image(const XmlSource &parGen, const XmlSource &cobId)
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
    Image_Size = Table_Can0_to_Can1.Pack_Table(Image_Size, CobTable::Entries, Image_Buffer);
    Image_Size = Table_Can1_to_Can0.Pack_Table(Image_Size, CobTable::Entries, Image_Buffer);
    Image_Size = Par_Block.Put_Checksum(Image_Size, Image_Buffer);
    return QString();
}

QString ImageBuilder::Read_Cob_Tables(const XmlSource &cobId)
{
    if (!cobId.exists)
        return QString();
    if (!cobId.error.isEmpty())
        return cobId.error;
    const QDomNode root = XmlFile::firstTopLevelNode(cobId.doc);
    QString error = readSection(root, cobId.shownName, "Can0_to_Can1", m_types.Type_CAN0,
                                ParBlock::Count_Can0_to_Can1, Table_Can0_to_Can1);
    if (error.isEmpty())
        error = readSection(root, cobId.shownName, "Can1_to_Can0", m_types.Type_CAN1,
                            ParBlock::Count_Can1_to_Can0, Table_Can1_to_Can0);
    return error;
}

QString ImageBuilder::readSection(const QDomNode &root, const QString &shownName, const char *name,
                                  quint32 portType, int countOffset, CobTable &table)
{
    const QString sectionName = QString::fromLatin1(name);
    const QDomElement section = root.firstChildElement(sectionName);
    if (section.isNull())
        return QStringLiteral("Cannot read %1: its root element has no element %2").arg(shownName, sectionName);

    const QDomNodeList rows = section.childNodes();
    const int count = std::min<int>(rows.count(), MaxRows);
    Par_Block.setU32(countOffset, quint32(count));
    const bool positive = Par_Block.u32(ParBlock::Par_Flags) & ParBlock::FlagPositive;

    for (int i = 0; i < count; ++i) {
        CobTable::Cob_Entry &entry = table[i];
        // Anything but an element (a comment, stray text) is a row whose attributes cannot
        // be read: its words take the failed-read values.
        const QDomElement row = rows.at(i).toElement();
        if (row.isNull()) {
            entry.Orig = portType == 1 ? CobTable::Ext_Mark : 0;
            entry.Mod = 0;
            continue;
        }
        entry.Orig = quint32(IntText::readOr(row.attribute(QStringLiteral("Orig_CobID")), 0));
        if (row.attribute(QStringLiteral("Type_CobID")) == kExtended)
            entry.Orig |= CobTable::Ext_Mark;
        entry.Mod = 0;
        if (positive) {
            entry.Mod = quint32(IntText::readOr(row.attribute(QStringLiteral("Mod_CobID")), 0));
            if (row.attribute(QStringLiteral("Type_MCobID")) == kExtended)
                entry.Mod |= CobTable::Ext_Mark;
        }
    }
    return QString();
}
