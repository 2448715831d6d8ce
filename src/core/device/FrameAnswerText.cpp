#include "core/device/FrameAnswerText.h"

namespace FrameAnswerText {

Answer answer(const DevicePrediction &device, Direction from, quint32 id, bool extended, const Catalog &texts)
{
    const FilterImage::Route r = device.route(from, id, extended);
    Answer a;
    a.route = FilterImage::routeText(from, id, extended, r, texts);
    a.reason = device.reasonText(from, id, extended, r, texts);
    // Which of the rows the device takes differs between the image and the banks.
    if (device.positive() && r.listedIn > 1)
        a.rows = texts
                     .text(device.layout() == DevicePrediction::Layout::Image ? TextId::FrameFirstRowShown
                                                                              : TextId::FrameLastRowShown)
                     .arg(r.listedIn);
    return a;
}

} // namespace FrameAnswerText
