#pragma once

#include "core/device/DevicePrediction.h"
#include "core/image/FilterImage.h"

#include <QString>

class CobIdDocument;
struct XmlSource;

// What the device would do with the filter tables as they stand in the window, before they
// are saved: the tables are written as OK would write them and built by the image builder
// in memory, so the answer follows the same rules as a device update.
namespace TablePreview {

// Returns an empty text, or why the build failed (the image is then empty).
QString build(const XmlSource &parGen, const CobIdDocument &tables, FilterImage &image);

// The same build, read back as the device of ParGen.xml's type runs it: the image for the
// Ethernet variant, banks 1 and 2 for the others.
QString predict(const XmlSource &parGen, const CobIdDocument &tables, DevicePrediction &device);

} // namespace TablePreview
