#pragma once

#include "core/base/Catalog.h"
#include "core/device/facts/DeviceFacts.h"
#include "core/device/facts/Direction.h"
#include "core/traffic/BusLoad.h"
#include "core/traffic/TraceFormat.h"

#include <QStringList>
#include <QtGlobal>

#include <array>

// What a replay of a trace counted, and the text that tells it.
struct ReplaySummary
{
    TraceFormat format = TraceFormat::Unknown;
    quint64 lines = 0;
    quint64 framesIn = 0;
    quint64 passed = 0;   // every frame that leaves the other port ...
    quint64 remapped = 0; // ... of them under another identifier or frame type
    quint64 blocked = 0;
    quint64 errorFrames = 0; // error frames of the recording, never passed on
    quint64 malformed = 0;
    int idsIn = 0, idsPassed = 0, idsRemapped = 0, idsBlocked = 0;
    bool idsCapped = false; // more distinct 29-bit identifiers than are tracked
    bool timeWentBack = false;
    std::array<quint64, DeviceFacts::Max11Bit + 1> trafficIn{}; // frames per 11-bit identifier
    BusLoad load;

    // "From CAN 0 to CAN 1, candump log of 4 lines:", then the frames and identifiers in,
    // passed, remapped and blocked, the frames left out and the load on the other port: the
    // command line prints them in English, the filter window in the loaded language.
    QStringList text(Direction from, const Catalog &texts = Catalog::defaults()) const;
    // The load warnings, and time stamps that go back.
    QStringList warnings(Direction from, const Catalog &texts = Catalog::defaults()) const;
};
