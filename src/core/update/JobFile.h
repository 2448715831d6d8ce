#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QString>
#include <QStringList>

class QIODevice;

// The job that the Ethernet update tool (Lanvesk.exe) reads from Lanvesk.xml beside it.
namespace JobFile {

// Update options, in the order of the update window's list.
enum Option { FirmwareAndConfiguration = 0, Firmware = 1, Configuration = 2 };

struct Job
{
    QStringList ipFields; // the four address fields, as typed
    int option = FirmwareAndConfiguration;
    bool readBack = true;
    QString dirExe;
    QString dirMaster;
    QString dirProject;
};

QString fileName(); // "Lanvesk.xml"
QString path(const QString &dirExe);

QDomDocument build(const Job &job);
QByteArray bytes(const Job &job);
// Empty on success, else the device's error text.
QString write(QIODevice &device, const Job &job);

// Rewrites Lanvesk.xml in job.dirExe whole. Empty on success, else the message to show,
// naming the file; the previous file is then left as it was.
QString Compile_XML_Parameter(const Job &job);

} // namespace JobFile
