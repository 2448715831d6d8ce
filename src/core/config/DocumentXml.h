#pragma once

#include <QDomDocument>
#include <QDomNode>
#include <QString>
#include <QStringView>

// Loading and writing helpers shared by the two project documents.
namespace DocumentXml {

enum class Load { NoFile, Loaded, Failed };

// Loads `path` and takes its first top-level node as the root. A missing file is not an
// error (every reader has defaults for it); a file that cannot be read or parsed gives
// Failed with a text naming the file, and for a parse error the line, column and message.
// `maxBytes`: the largest file of its kind that is read at all.
Load loadRoot(const QString &path, qint64 maxBytes, QDomDocument &doc, QDomNode &root, QString &error);
Load parseRoot(const QByteArray &bytes, const QString &shownName, QDomDocument &doc, QDomNode &root, QString &error);

// True when every character can be stored in an XML 1.0 file. Control characters other
// than tab, line feed and carriage return cannot, and the stream writer would drop them
// silently, so the writers refuse such texts instead of changing what the user typed.
bool storable(QStringView text);

// Both writers put this comment at top level after the root, then a line break.
inline constexpr char16_t VersionComment[] = u"SW_VERSION = 2.001";

} // namespace DocumentXml
