#pragma once

#include "bus/TestPlan.h"
#include "bus/VerifyResult.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

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
// "From CAN 0 to CAN 1: 2317 frames, all as predicted" and one line per mismatch, in the
// built-in English; past `maxMismatches` a direction's mismatches are counted, not listed.
QStringList summaryLines(const VerifyResult &result, const TestPlan &plan, int maxMismatches = -1);
QByteArray csv(const TestPlan &plan, const VerifyResult &result, const VerifyRunInfo &info);
// One page without outside references: summary, the 11-bit identifiers of each direction
// coloured by verdict, and the mismatches.
QByteArray html(const TestPlan &plan, const VerifyResult &result, const VerifyRunInfo &info);
// BASE.csv and BASE.html: the files a report at `path` is written to (a .csv or .html ending
// of `path` is taken off first).
QStringList paths(const QString &path);
// Writes both, as one save: both are new or neither is.
QString write(const QString &path, const TestPlan &plan, const VerifyResult &result, const VerifyRunInfo &info,
              QStringList *written);
} // namespace VerifyReport
