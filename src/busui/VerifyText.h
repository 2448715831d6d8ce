#pragma once

#include "bus/BusVerifier.h"
#include "bus/TestPlan.h"
#include "bus/VerifyResult.h"

#include <QString>
#include <QStringList>

class Catalog;

// The verdicts of a bus run as the verify window shows them, in the catalog's language; the
// command line and the report keep their own English texts.
namespace VerifyText {

// Per direction "From CAN 0 to CAN 1: 2317 frames, 2 mismatches", and the hint when nothing
// arrived at all.
QStringList summary(const VerifyResult &result, const Catalog &texts);
// "0x181 (11-bit): expected passes as 0x281 (11-bit); seen nothing [listed]"
QString mismatch(const PlanFrame &frame, const Observation &seen, const Catalog &texts);

} // namespace VerifyText
