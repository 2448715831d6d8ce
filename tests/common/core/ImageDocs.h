#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// Small project documents for the image builder's tests, written as the two editor windows
// write them: fixed element order, no declaration, no indentation.
namespace ImageDocs {

using Values = QList<QPair<QString, QString>>;

// ParGen.xml with the window's defaults, `set` replacing texts by element name and `omit`
// leaving elements out.
QByteArray parGen(const Values &set = {}, const QStringList &omit = {});

// A root with exactly these children, in this order (for the by-position reader).
QByteArray parGenRaw(const Values &children);

struct Row
{
    QString orig;
    QString type = QStringLiteral("2.0A 11bits");
    QString mod;
    QString modType = QStringLiteral("2.0A 11bits");
};

QByteArray cobId(const QList<Row> &can0ToCan1, const QList<Row> &can1ToCan0 = {});

// `count` rows of one type with descending identifiers from `first`.
QList<Row> descendingRows(int count, int first, const QString &type);

} // namespace ImageDocs
