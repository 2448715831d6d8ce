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
    // The files the stand-in repeater reads: those the project's variant runs.
    QStringList deviceFiles() const
    {
        if (!serial)
            return {QStringLiteral("--image"), image()};
        return {QStringLiteral("--bank1"), dir.filePath(QStringLiteral("bin/bank1.bin")), QStringLiteral("--bank2"),
                dir.filePath(QStringLiteral("bin/bank2.bin"))};
    }
    // `settings` replaces further ParGen.xml texts; a Device_Type other than 1 is a serial variant.
    bool make(bool positive, const QList<Row> &can0ToCan1, const QList<Row> &can1ToCan0, bool build = true,
              const ImageDocs::Values &settings = {})
    {
        if (!dir.isValid() || !QDir(dir.path()).mkpath(QStringLiteral("bin")))
            return false;
        ImageDocs::Values values = settings;
        values.append(ImageDocs::Set{"Positive", positive ? "1" : "0"});
        for (const ImageDocs::Set &s : settings)
            serial = serial || (QByteArray(s.name) == "Device_Type" && QByteArray(s.text) != "1");
        if (!CliRun::put(dir.filePath(QStringLiteral("ParGen.xml")), ImageDocs::parGen(values))
            || !CliRun::put(dir.filePath(QStringLiteral("CanCanCobID.xml")), ImageDocs::cobId(can0ToCan1, can1ToCan0)))
            return false;
        return !build || CliRun::run({QStringLiteral("build"), dir.path()}).exitCode == 0;
    }
    bool serial = false;
};

// The stand-in repeater, hosting the bus, until the test ends.
struct Peer
{
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    bool start(const QString &image, quint16 port, const QStringList &extra = {})
    {
        return start(QStringList{QStringLiteral("--image"), image}, port, extra);
    }
    bool start(const Project &p, quint16 port, const QStringList &extra = {})
    {
        return start(p.deviceFiles(), port, extra);
    }
    bool start(const QStringList &files, quint16 port, const QStringList &extra)
    {
        process->start(TestPaths::tool(QStringLiteral("can_peer")),
                       files
                           + QStringList{QStringLiteral("--can0"), side(port, 0), QStringLiteral("--can1"),
                                         side(port, 1)}
                           + extra);
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
