#pragma once

#include "bus/BusVerifier.h"
#include "bus/TestPlan.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

struct FrameVerdict
{
    enum Kind : quint8 { Passed, Blocked, Remapped, Mismatch };
    Kind kind = Passed;
    QString expected; // "passes as 0x281 (11-bit)" or "blocked"
    QString seen;     // "nothing", "0x282 (11-bit)", "0x281 (11-bit), 2 times", "..., out of order"
};

// The verdict of a run: per plan frame, and per direction.
struct VerifyResult
{
    struct Direction
    {
        int from = 0;
        int frames = 0;
        int arrived = 0;
        std::vector<FrameVerdict> verdicts; // per plan frame
        std::vector<int> mismatches;        // plan indices
    };
    std::vector<Direction> directions;
    QString error; // the run stopped early
    bool cancelled = false;

    static VerifyResult evaluate(const TestPlan &plan, const BusVerifier &verifier);
    bool allMatched() const;
    int mismatchCount() const;
    // "From CAN 0 to CAN 1: 2317 frames, all as predicted" and one line per mismatch.
    QStringList summaryLines(const TestPlan &plan, int maxMismatches = -1) const;
    static QString mismatchLine(const PlanFrame &frame, const FrameVerdict &verdict);
};

// What the report says about the run besides the verdicts.
struct VerifyRunInfo
{
    QString project;
    QString projectDir;
    QString source;      // the files the prediction was read from
    QString fingerprint; // of those files
    QStringList assumptions;
    quint32 checksum = 0;
    QString can0;
    QString can1;
    QDateTime started;
    qint64 elapsedMs = 0;
};

namespace VerifyReport {
QByteArray csv(const TestPlan &plan, const VerifyResult &result, const VerifyRunInfo &info);
// One page without outside references: summary, the 11-bit identifiers of each direction
// coloured by verdict, and the mismatches.
QByteArray html(const TestPlan &plan, const VerifyResult &result, const VerifyRunInfo &info);
// Writes BASE.csv and BASE.html (a .csv or .html ending of `path` is taken off first).
QString write(const QString &path, const TestPlan &plan, const VerifyResult &result, const VerifyRunInfo &info, QStringList *written);
QString resultText(const VerifyResult &result);
} // namespace VerifyReport
