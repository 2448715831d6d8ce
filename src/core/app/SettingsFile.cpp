#include "core/app/SettingsFile.h"

#include "core/app/AppState.h"
#include "core/base/FileIo.h"
#include "core/base/XmlFile.h"

#include <QDir>
#include <QDomDocument>
#include <QFileInfo>

namespace SettingsFile {

namespace {
QString leafText(const QDomNode &root, const QString &group, const QString &leaf, const QString &fallback)
{
    const QDomElement g = root.firstChildElement(group);
    if (g.isNull())
        return fallback;
    const QDomElement e = g.firstChildElement(leaf);
    return e.isNull() ? fallback : e.text();
}

bool flag(const QDomElement &group, const QString &leaf)
{
    return !group.isNull() && group.firstChildElement(leaf).text() == QLatin1String("1");
}

void addLeaf(QDomDocument &doc, QDomElement &parent, const QString &name, const QString &text)
{
    QDomElement e = doc.createElement(name);
    // A character no XML file can hold (a control character in a typed address, say) would
    // make the whole file unreadable at the next start; it is left out instead.
    e.appendChild(doc.createTextNode(XmlFile::storableText(text)));
    parent.appendChild(e);
}

QString flagText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}
} // namespace

QString fileName()
{
    return QStringLiteral("Praxedo.xml");
}

void setDefaults(AppState &state)
{
    state.Name_Project.clear();
    state.Dir_Project.clear();
    state.IP_Device = QStringLiteral("192.168.2.205");
    state.Language_Sel = QStringLiteral("English");
    state.Enable_Internet = false;
    state.Enable_Update = false;
    state.Enable_Jump_Field_Tables = false;
    state.Double_Click_Auto_Size = false;
}

namespace {
// Defaults, then every value the document holds; the parser's complaint when it is not
// well-formed (the defaults stay then).
QString readDocument(AppState &state, const QByteArray &data, const QString &shownName)
{
    setDefaults(state);
    QDomDocument doc;
    const QString error = XmlFile::parse(data, shownName, doc);
    if (!error.isEmpty())
        return error;
    const QDomNode root = XmlFile::firstTopLevelNode(doc);
    state.Name_Project = leafText(root, QStringLiteral("lastproj"), QStringLiteral("projectname"), QString());
    state.IP_Device = leafText(root, QStringLiteral("lastipadd"), QStringLiteral("ipaddress"), state.IP_Device);
    state.Language_Sel = leafText(root, QStringLiteral("lastlang"), QStringLiteral("language"), state.Language_Sel);
    const QDomElement internet = root.firstChildElement(QStringLiteral("lastinternet"));
    state.Enable_Internet = flag(internet, QStringLiteral("enable_internet"));
    state.Enable_Update = flag(internet, QStringLiteral("enable_update"));
    state.Enable_Jump_Field_Tables = flag(internet, QStringLiteral("enable_jump_field_tables"));
    state.Double_Click_Auto_Size = flag(internet, QStringLiteral("Double_Click_Auto_Size"));
    return QString();
}
} // namespace

void readBytes(AppState &state, const QByteArray &data, bool *wellFormed)
{
    const bool ok = readDocument(state, data, fileName()).isEmpty();
    if (wellFormed)
        *wellFormed = ok;
}

bool read(AppState &state, const QString &path, QString *error)
{
    setDefaults(state);
    if (FileIo::absent(path))
        return true;
    QByteArray data;
    QString why = FileIo::readFile(path, data, MaxFileBytes);
    if (why.isEmpty())
        why = readDocument(state, data, QDir::toNativeSeparators(path));
    if (error)
        *error = why;
    return why.isEmpty();
}

QByteArray bytes(const AppState &state)
{
    QDomDocument doc;
    QDomElement root = doc.createElement(QStringLiteral("Conf_Settings"));
    doc.appendChild(root);
    auto group = [&](const QString &name) {
        QDomElement g = doc.createElement(name);
        root.appendChild(g);
        return g;
    };
    QDomElement proj = group(QStringLiteral("lastproj"));
    addLeaf(doc, proj, QStringLiteral("projectname"), state.Name_Project);
    QDomElement ip = group(QStringLiteral("lastipadd"));
    addLeaf(doc, ip, QStringLiteral("ipaddress"), state.IP_Device);
    QDomElement lang = group(QStringLiteral("lastlang"));
    addLeaf(doc, lang, QStringLiteral("language"), state.Language_Sel);
    QDomElement internet = group(QStringLiteral("lastinternet"));
    addLeaf(doc, internet, QStringLiteral("enable_internet"), flagText(state.Enable_Internet));
    addLeaf(doc, internet, QStringLiteral("enable_update"), flagText(state.Enable_Update));
    addLeaf(doc, internet, QStringLiteral("enable_jump_field_tables"), flagText(state.Enable_Jump_Field_Tables));
    addLeaf(doc, internet, QStringLiteral("Double_Click_Auto_Size"), flagText(state.Double_Click_Auto_Size));
    return XmlFile::bytes(doc);
}

QString write(const AppState &state, const QString &path)
{
    return FileIo::saveFile(path, bytes(state));
}

} // namespace SettingsFile
