#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>

// Small project documents for the image builder's tests, written as the two editor windows
// write them: fixed element order, no declaration, no indentation.
namespace ImageDocs {

struct Set
{
    const char *name;
    const char *text;
};
using Values = QList<Set>;
using Names = QList<const char *>;

extern const char *const Std; // "2.0A 11bits"
extern const char *const Ext; // "2.0B 29bits"

// ParGen.xml with the window's defaults, `set` replacing texts by element name and `omit`
// leaving elements out.
QByteArray parGen(const Values &set = {}, const Names &omit = {});

// A root with exactly these children, in this order (for the by-position reader).
QByteArray parGenRaw(const Values &children);

struct Row
{
    Row(const char *origText, const char *modText = "", const char *typeText = Std, const char *modTypeText = Std)
        : orig(QLatin1String(origText))
        , type(QLatin1String(typeText))
        , mod(QLatin1String(modText))
        , modType(QLatin1String(modTypeText))
    {
    }
    Row(const QString &origText, const QString &modText, const QString &typeText, const QString &modTypeText)
        : orig(origText)
        , type(typeText)
        , mod(modText)
        , modType(modTypeText)
    {
    }
    QString orig;
    QString type;
    QString mod;
    QString modType;
};

QByteArray cobId(const QList<Row> &can0ToCan1, const QList<Row> &can1ToCan0 = {});

// `count` rows of one type with descending identifiers from `first`.
QList<Row> descendingRows(int count, int first, const char *type = Std);

} // namespace ImageDocs

Q_DECLARE_METATYPE(ImageDocs::Values)
Q_DECLARE_METATYPE(ImageDocs::Names)
