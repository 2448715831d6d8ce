#include "bus/BusPorts.h"

QString BusPorts::loadProject(const QString &projectDir)
{
    return prediction.load(projectDir);
}

QString BusPorts::parse(const QString &can0, const QString &can1, int &failedPort)
{
    const QString texts[2] = {can0, can1};
    for (int p = 0; p < 2; ++p) {
        QString error = CanPorts::parse(texts[p], addresses[p]);
        if (error.isEmpty())
            error = CanPorts::check(addresses[p]);
        if (!error.isEmpty()) {
            failedPort = p;
            return error;
        }
    }
    failedPort = -1;
    return CanPorts::checkPair(addresses[0], addresses[1]);
}

QString BusPorts::open(int bitRate)
{
    for (int p = 0; p < 2; ++p)
        bitRates[p] = bitRate ? bitRate : prediction.bitRate(p);
    for (int p = 0; p < 2; ++p) {
        QString error;
        ports[p] = CanPorts::open(addresses[p], bitRates[p], ConnectTimeoutMs, error);
        if (!ports[p]) {
            close();
            return error;
        }
    }
    return QString();
}

void BusPorts::close()
{
    ports[0].reset();
    ports[1].reset();
}
