#pragma once

#include "core/config/ParGen.h"

#include <QByteArray>
#include <QDomDocument>
#include <QString>

// One project document as the image builder sees it: absent, loaded, or failed to load.
// The builder's readers take the document from here, so a build parses each file once and
// tests can hand in bytes without touching the disk.
struct XmlSource
{
    bool exists = false;
    QDomDocument doc;
    QString error;     // set when the file exists but cannot be read or parsed
    QString shownName; // the name messages use: the native path, or a test's label

    // A missing file is not an error: `exists` stays false. A file larger than `maxBytes` is
    // refused unread.
    static XmlSource load(const QString &path, qint64 maxBytes = ParGen::MaxFileBytes);
    static XmlSource fromBytes(const QByteArray &bytes, const QString &shownName);
};
