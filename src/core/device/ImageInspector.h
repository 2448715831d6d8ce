#pragma once

#include <QByteArray>
#include <QString>

// Turns a configuration image (bank_K60.bin) or a bank file back into readable text, so an
// engineer can see what a device will do with it. Reads only inside the given bytes,
// whatever counts the file claims.
namespace ImageInspector {

struct Result
{
    QString text;    // the decoded content; empty when the size fits neither kind of file
    QString problem; // empty when the file is sound: wrong size, bad checksum, impossible count
};

Result inspect(const QByteArray &bytes, const QString &shownName);

} // namespace ImageInspector
