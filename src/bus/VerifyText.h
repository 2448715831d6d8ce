#pragma once

#include "bus/BusVerifier.h"
#include "bus/TestPlan.h"
#include "bus/VerifyResult.h"
#include "core/base/Catalog.h"

#include <QString>
#include <QStringList>

// The words of a bus check, for the verify window in its language and for praxedo-cli and the
// report in the built-in English.
namespace VerifyText {

// "listed", "11-bit sweep", ...
QString kind(PlanFrame::Kind kind, const Catalog &texts = Catalog::defaults());
// "passes as 0x281 (11-bit)" or "blocked"
QString expected(const FilterImage::Route &route, const Catalog &texts = Catalog::defaults());
// "nothing", "0x282 (11-bit)", "0x281 (11-bit), 2 times", "..., out of order"
QString seen(const Observation &seen, const Catalog &texts = Catalog::defaults());
// "0x181 (11-bit): expected passes as 0x281 (11-bit); seen nothing [listed]"
QString mismatch(const PlanFrame &frame, const Observation &seen, const Catalog &texts = Catalog::defaults());
// "From CAN 0 to CAN 1: 2317 frames, 2 mismatches", then the hint when nothing arrived at all.
QStringList direction(const VerifyResult::PerDirection &direction, const Catalog &texts = Catalog::defaults());
// "All frames as predicted", "2 mismatches", "Stopped: ..." or "Cancelled".
QString result(const VerifyResult &result, const Catalog &texts = Catalog::defaults());
// "1 mismatch", "2 mismatches"
QString mismatches(int count, const Catalog &texts = Catalog::defaults());

} // namespace VerifyText
