#include "core/traffic/TraceFormat.h"

#include "core/traffic/AscReader.h"
#include "core/traffic/CandumpReader.h"

TraceFormat traceFormatOf(const char *first, const char *end)
{
    if (CandumpReader::recognises(first, end))
        return TraceFormat::Candump;
    if (AscReader::recognises(first, end))
        return TraceFormat::Asc;
    return TraceFormat::Unknown;
}
