#pragma once

#include "bus/BusPrediction.h"
#include "bus/CanPort.h"

#include <QString>

#include <memory>

// The two ports of a check on the bus, as the command line and the verify window open them:
// the project's prediction first, then both interface texts read and checked before anything
// opens, then both ports opened. Nothing stays open after a failure.
struct BusPorts
{
    static constexpr int ConnectTimeoutMs = 5000;

    BusPrediction prediction;
    CanPortAddress addresses[2];
    std::unique_ptr<CanPort> ports[2];
    int bitRates[2] = {0, 0};

    // Empty on success.
    QString loadProject(const QString &projectDir);
    // "PLUGIN:INTERFACE" of CAN 0 and CAN 1. On failure `failedPort` is the port whose text was
    // refused, or -1 when the two together are.
    QString parse(const QString &can0, const QString &can1, int &failedPort);
    // At `bitRate` bit/s, or at each port's configured rate when it is 0.
    QString open(int bitRate = 0);
    void close();
};
