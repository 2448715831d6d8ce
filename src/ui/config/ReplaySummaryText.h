#pragma once

#include "core/traffic/TraceReplay.h"

#include <QStringList>

class Catalog;

// A replay's summary as the filter window shows it, in the catalog's language: the heading,
// frames and identifiers in, passed, remapped and blocked, the load on the other port and its
// warnings. The command line prints the summary's own English lines.
namespace ReplaySummaryText {

QStringList lines(const TraceReplay::Summary &summary, int from, const Catalog &texts);

} // namespace ReplaySummaryText
