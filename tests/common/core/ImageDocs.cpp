#include "core/ImageDocs.h"

#include <QDomDocument>
#include <QPair>

#include <algorithm>

namespace ImageDocs {

const char *const Std = "2.0A 11bits";
const char *const Ext = "2.0B 29bits";

namespace {
using Texts = QList<QPair<QString, QString>>;
const Texts &defaults()
{
    static const Texts texts = {
        {QStringLiteral("Boud0"), QStringLiteral("8")},
        {QStringLiteral("Boud1"), QStringLiteral("8")},
        {QStringLiteral("Type"), QStringLiteral("0")},
        {QStringLiteral("Positive"), QStringLiteral("0")},
        {QStringLiteral("Baud_Dip_C0"), QStringLiteral("0")},
        {QStringLiteral("Baud_Dip_C1"), QStringLiteral("0")},
        {QStringLiteral("TypeC1"), QStringLiteral("0")},
        {QStringLiteral("Device_Type"), QStringLiteral("1")},
        {QStringLiteral("Ethernet_IP1"), QStringLiteral("192")},
        {QStringLiteral("Ethernet_IP2"), QStringLiteral("168")},
        {QStringLiteral("Ethernet_IP3"), QStringLiteral("0")},
        {QStringLiteral("Ethernet_IP4"), QStringLiteral("10")},
        {QStringLiteral("Ethernet_SM1"), QStringLiteral("255")},
        {QStringLiteral("Ethernet_SM2"), QStringLiteral("255")},
        {QStringLiteral("Ethernet_SM3"), QStringLiteral("255")},
        {QStringLiteral("Ethernet_SM4"), QStringLiteral("0")},
        {QStringLiteral("Ethernet_GAT1"), QStringLiteral("192")},
        {QStringLiteral("Ethernet_GAT2"), QStringLiteral("168")},
        {QStringLiteral("Ethernet_GAT3"), QStringLiteral("0")},
        {QStringLiteral("Ethernet_GAT4"), QStringLiteral("1")},
        {QStringLiteral("Ethernet_EN_GAT"), QStringLiteral("0")},
        {QStringLiteral("Ethernet_TCP_Port"), QStringLiteral("10001")},
        {QStringLiteral("Ethernet_UDP_Port"), QStringLiteral("10001")},
    };
    return texts;
}

QByteArray finish(QDomDocument &doc)
{
    doc.appendChild(doc.createComment(QStringLiteral("SW_VERSION = 2.001")));
    return doc.toByteArray(-1);
}

QByteArray writeParGen(const Texts &children)
{
    QDomDocument doc;
    QDomElement root = doc.createElement(QStringLiteral("Par_Gen"));
    doc.appendChild(root);
    for (const auto &[name, text] : children) {
        QDomElement e = doc.createElement(name);
        e.appendChild(doc.createTextNode(text));
        root.appendChild(e);
    }
    return finish(doc);
}
} // namespace

QByteArray parGenRaw(const Values &children)
{
    Texts texts;
    for (const Set &s : children)
        texts.append({QLatin1String(s.name), QLatin1String(s.text)});
    return writeParGen(texts);
}

QByteArray parGen(const Values &set, const Names &omit)
{
    Texts children;
    for (const auto &[name, defaultText] : defaults()) {
        if (std::any_of(omit.begin(), omit.end(), [&key = name](const char *n) { return key == QLatin1String(n); }))
            continue;
        QString text = defaultText;
        for (const Set &s : set) {
            if (name == QLatin1String(s.name))
                text = QLatin1String(s.text);
        }
        children.append({name, text});
    }
    return writeParGen(children);
}

QByteArray cobId(const QList<Row> &can0ToCan1, const QList<Row> &can1ToCan0)
{
    QDomDocument doc;
    QDomElement root = doc.createElement(QStringLiteral("CanCanCobID"));
    doc.appendChild(root);
    const QList<Row> *tables[] = {&can0ToCan1, &can1ToCan0};
    const QString names[] = {QStringLiteral("Can0_to_Can1"), QStringLiteral("Can1_to_Can0")};
    for (int d = 0; d < 2; ++d) {
        QDomElement section = doc.createElement(names[d]);
        root.appendChild(section);
        for (const Row &r : *tables[d]) {
            QDomElement row = doc.createElement(QStringLiteral("row"));
            row.setAttribute(QStringLiteral("Orig_CobID"), r.orig);
            row.setAttribute(QStringLiteral("Type_CobID"), r.type);
            row.setAttribute(QStringLiteral("Mod_CobID"), r.mod);
            row.setAttribute(QStringLiteral("Type_MCobID"), r.modType);
            row.setAttribute(QStringLiteral("Desc"), QString());
            section.appendChild(row);
        }
    }
    return finish(doc);
}

QList<Row> descendingRows(int count, int first, const char *type)
{
    QList<Row> rows;
    rows.reserve(count);
    for (int i = 0; i < count; ++i)
        rows.append(Row(QString::number(first - i), QString(), QLatin1String(type), QLatin1String(type)));
    return rows;
}

} // namespace ImageDocs
