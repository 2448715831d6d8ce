#include "core/image/TablePreview.h"

#include "core/config/CobIdDocument.h"
#include "core/image/FilterDocument.h"
#include "core/image/ImageBuilder.h"
#include "core/image/XmlSource.h"

namespace TablePreview {

QString build(const XmlSource &parGen, const CobIdDocument &tables, FilterImage &image)
{
    image = FilterImage();
    QByteArray bytes;
    QString error = tables.toBytes(bytes);
    if (!error.isEmpty())
        return error;
    const QString name = QStringLiteral("CanCanCobID.xml");
    ImageBuilder builder;
    error = builder.Build_Image(parGen, FilterDocument::fromBytes(bytes, name));
    if (!error.isEmpty())
        return error;
    return image.parse(builder.image(), name);
}

} // namespace TablePreview
