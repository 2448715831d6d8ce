#pragma once

#include <QDomDocument>
#include <QDomNode>
#include <QString>
#include <QStringView>

// Small helpers shared by every reader and writer of the XML documents.
namespace XmlFile {

// Limits on a document's shape, checked on its bytes before any parsing. A tree costs far
// more memory than its text (a file of nothing but tiny elements takes some 70 bytes per byte
// read), and the parser's time grows with the square of the nesting depth and of the number
// of attributes on one element. The largest document the program writes, two full filter
// tables, has about 25000 nodes, is 3 deep and has 5 attributes on an element.
inline constexpr qint64 MaxNodes = 200000; // elements, attributes, texts, comments
inline constexpr int MaxDepth = 64;
inline constexpr qint64 MaxAttributes = 1000; // on one element

// Empty when `bytes` keep within the limits above, else the message refusing the document.
// parse() checks this first; a reader that does not build a tree can call it on its own.
QString shapeError(const QByteArray &bytes, const QString &shownName);

// Loads and parses a file of at most `maxBytes`. On failure returns a text naming the file
// and, for a parse error, the parser's line, column and message; the document is then left
// empty.
QString load(const QString &path, QDomDocument &doc, qint64 maxBytes);
QString parse(const QByteArray &bytes, const QString &shownName, QDomDocument &doc);

// The document's first top-level node, which readers take as the root. A leading XML
// declaration is skipped (our files never carry one); a comment before the root counts.
QDomNode firstTopLevelNode(const QDomDocument &doc);

// Text of the first child element of `parent` named `name`; nullopt-like: `found` false
// when there is no such element.
QString childText(const QDomNode &parent, const QString &name, bool *found = nullptr);

// True when every character can be stored in an XML 1.0 file. Control characters other than
// tab, line feed and carriage return cannot, nor U+FFFE, U+FFFF or a lone surrogate; the
// writers would put them in as they are and make a file no reader takes.
bool storable(QStringView text);
// The text without the characters that cannot be stored.
QString storableText(const QString &text);

// The bytes our writers save: no declaration, no indentation.
QByteArray bytes(const QDomDocument &doc);

} // namespace XmlFile
