#include "core/device/TablePreview.h"

#include "core/config/CobIdDocument.h"
#include "core/base/XmlFile.h"
#include "core/config/ParGen.h"
#include "core/image/ConfigBuilder.h"
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

QString predict(const XmlSource &parGen, const CobIdDocument &tables, DevicePrediction &device)
{
    device = DevicePrediction();
    QByteArray bytes;
    QString error = tables.toBytes(bytes);
    if (!error.isEmpty())
        return error;
    if (!parGen.error.isEmpty())
        return parGen.error;
    // Step 4's reading: no file is the Ethernet variant, a missing or unreadable type is 0.
    const int type = parGen.exists ? ParGen::mainWindowDeviceType(XmlFile::firstTopLevelNode(parGen.doc)) : 1;
    const FilterDocument cobId = FilterDocument::fromBytes(bytes, QStringLiteral("CanCanCobID.xml"));
    if (type == 1) {
        // The Ethernet variant never sees the banks, so a document they refuse does not matter here.
        ImageBuilder image;
        error = image.Build_Image(parGen, cobId);
        return error.isEmpty() ? device.parseImage(image.image(), QStringLiteral("bank_K60.bin")) : error;
    }
    ConfigBuilder builder;
    error = builder.Build_Config(parGen, cobId);
    if (!error.isEmpty())
        return error;
    return device.parseBanks(builder.banks().bank(1), builder.banks().bank(2), type, QStringLiteral("bank1.bin"),
                             QStringLiteral("bank2.bin"));
}

} // namespace TablePreview
