#pragma once

#include "bus/BusVerifier.h"
#include "bus/TestPlan.h"

#include <QString>
#include <QStringList>

#include <vector>

struct FrameVerdict
{
    enum Kind : quint8 { Passed, Blocked, Remapped, Mismatch };
    Kind kind = Passed;
    Observation seen; // what arrived for the frame
};

// The verdict of a run: per plan frame, and per direction.
struct VerifyResult
{
    struct PerDirection
    {
        ::Direction from;
        int frames = 0;
        int arrived = 0;
        std::vector<FrameVerdict> verdicts; // per plan frame
        std::vector<int> mismatches;        // plan indices
    };
    std::vector<PerDirection> directions;
    QString error; // the run stopped early
    bool cancelled = false;

    static VerifyResult evaluate(const TestPlan &plan, const BusVerifier &verifier);
    bool allMatched() const;
    int mismatchCount() const;
};
