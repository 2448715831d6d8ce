#pragma once

#include "core/device/facts/Direction.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

class QDomDocument;

// CanCanCobID.xml as the image builder reads it: where its root stands, and the nodes of
// its two sections with the four attributes the builder uses. A file as the filter window
// writes it is read in one streaming pass; anything unusual (comments or text among the
// rows, CDATA, entities, a DTD, a parse error) is read through the DOM instead, so both
// ways give the same result and the same messages.
struct FilterDocument
{
    struct Row
    {
        bool isElement = true; // false: a comment or text node, which carries no attributes
        QString orig;          // Orig_CobID
        QString type;          // Type_CobID
        QString mod;           // Mod_CobID
        QString modType;       // Type_MCobID
    };
    struct Section
    {
        bool present = false; // the root has a child element of this name
        std::vector<Row> rows;
    };

    bool exists = false;
    QString error; // set when the file exists but cannot be read or parsed
    QString shownName;

    bool rootIsFirst = false; // the root element is the first top-level node (a declaration aside)
    QString rootName;
    Section sections[2]; // by Direction::index()

    const Section &section(Direction direction) const { return sections[direction.index()]; }

    // A missing file is not an error: `exists` stays false.
    static FilterDocument load(const QString &path);
    static FilterDocument fromBytes(const QByteArray &bytes, const QString &shownName);

    // The two ways of reading, public for the tests that hold them to the same result.
    static std::optional<FilterDocument> readStreaming(const QByteArray &bytes);
    static FilterDocument readDom(const QDomDocument &doc);
};
