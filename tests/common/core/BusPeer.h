#pragma once

#include "CliRun.h"
#include "ImageDocs.h"
#include "TestPaths.h"

#include <QDir>
#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>

#include <memory>

// A built project, a private virtual bus and the stand-in repeater on it, for the bus tests.
namespace {

using ImageDocs::Ext;
using ImageDocs::Row;
using ImageDocs::Std;

// A port of 127.0.0.1 nobody listens on, so each run has a bus of its own.
quint16 freePort()
{
    QTcpServer server;
    return server.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0) ? server.serverPort() : 0;
}

QString side(quint16 port, int channel)
{
    return QStringLiteral("virtualcan:tcp://127.0.0.1:%1/can%2").arg(port).arg(channel);
}

// A built project: documents written as the editors write them, then `praxedo-cli build`.
struct Project
{
    QTemporaryDir dir;
    QString path() const { return dir.path(); }
    QString image() const { return dir.filePath(QStringLiteral("bin/bank_K60.bin")); }
    bool make(bool positive, const QList<Row> &can0ToCan1, const QList<Row> &can1ToCan0, bool build = true)
    {
        if (!dir.isValid() || !QDir(dir.path()).mkpath(QStringLiteral("bin")))
            return false;
        if (!CliRun::put(dir.filePath(QStringLiteral("ParGen.xml")), ImageDocs::parGen({{"Positive", positive ? "1" : "0"}}))
            || !CliRun::put(dir.filePath(QStringLiteral("CanCanCobID.xml")), ImageDocs::cobId(can0ToCan1, can1ToCan0)))
            return false;
        return !build || CliRun::run({QStringLiteral("build"), dir.path()}).exitCode == 0;
    }
};

// The stand-in repeater, hosting the bus, until the test ends.
struct Peer
{
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    bool start(const QString &image, quint16 port, const QStringList &extra = {})
    {
        process->start(TestPaths::tool(QStringLiteral("can_peer")),
                       QStringList{QStringLiteral("--image"), image, QStringLiteral("--can0"), side(port, 0), QStringLiteral("--can1"), side(port, 1)} + extra);
        if (!process->waitForStarted(10000))
            return false;
        while (!process->canReadLine()) {
            if (!process->waitForReadyRead(10000))
                return false;
        }
        return process->readLine().trimmed() == "ready";
    }
    ~Peer()
    {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(5000);
        }
    }
};

} // namespace
