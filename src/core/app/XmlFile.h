#pragma once

#include <QDomDocument>
#include <QDomNode>
#include <QString>

// Small helpers shared by every reader and writer of the XML documents.
namespace XmlFile {

// Loads and parses a file. On failure returns a text naming the file and, for a parse
// error, the parser's line, column and message; the document is then left empty.
QString load(const QString &path, QDomDocument &doc);
QString parse(const QByteArray &bytes, const QString &shownName, QDomDocument &doc);

// The document's first top-level node, which readers take as the root. A leading XML
// declaration is skipped (our files never carry one); a comment before the root counts.
QDomNode firstTopLevelNode(const QDomDocument &doc);

// Text of the first child element of `parent` named `name`; nullopt-like: `found` false
// when there is no such element.
QString childText(const QDomNode &parent, const QString &name, bool *found = nullptr);

// The bytes our writers save: no declaration, no indentation.
QByteArray bytes(const QDomDocument &doc);

} // namespace XmlFile
