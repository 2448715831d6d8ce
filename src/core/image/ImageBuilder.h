#pragma once

#include "core/image/CobTable.h"
#include "core/image/FilterDocument.h"
#include "core/image/ParBlock.h"

#include <QByteArray>
#include <QString>

struct XmlSource;

// Builds the configuration image (bank_K60.bin): the two filter lookup tables
// followed by the parameter block. The frame types read from ParGen.xml outlive a build.
class ImageBuilder
{
    using FilterRow = FilterDocument::Row;

public:
    static constexpr int BufferBytes = 100001;
    // A section holds at most this many rows; the rest of a longer list is left out.
    static constexpr int MaxRows = DeviceFacts::TableRows;

    ImageBuilder();

    // Returns an empty text, or why the build stopped.
    QString Build_Image(const XmlSource &parGen, const FilterDocument &cobId);

    void Clear_Tables();
    QString Read_Cob_Tables(const FilterDocument &cobId);

    QByteArray image() const { return Image_Buffer.left(Image_Size); }
    const ParBlock &parBlock() const { return Par_Block; }
    ParBlock::PortTypes portTypes() const { return m_types; }
    void setPortTypes(const ParBlock::PortTypes &types) { m_types = types; }
    const CobTable &table(Direction direction) const
    {
        return direction == Direction::Can0ToCan1 ? Table_Can0_to_Can1 : Table_Can1_to_Can0;
    }

private:
    void readSection(const std::vector<FilterRow> &rows, quint32 portType, int countOffset, CobTable &table);

    ParBlock Par_Block;
    ParBlock::PortTypes m_types;
    CobTable Table_Can0_to_Can1;
    CobTable Table_Can1_to_Can0;
    QByteArray Image_Buffer;
    int Image_Size = 0;
};
