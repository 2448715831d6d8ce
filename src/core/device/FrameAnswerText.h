#pragma once

#include "core/base/Catalog.h"
#include "core/device/DevicePrediction.h"

#include <QString>

// What the device does with one frame, in the words of both the filter window's frame check
// and praxedo-cli simulate; each lays the parts out its own way.
namespace FrameAnswerText {

struct Answer
{
    QString route;  // "From CAN 0 to CAN 1: frame 0x181 (11-bit) passes and leaves CAN 1 as 0x281 (11-bit)"
    QString reason; // "listed; with positive implementation a listed identifier passes under its replacement"
    QString rows;   // "2 rows list this identifier; the first one is shown", or empty
};

Answer answer(const DevicePrediction &device, Direction from, quint32 id, bool extended,
              const Catalog &texts = Catalog::defaults());

} // namespace FrameAnswerText
