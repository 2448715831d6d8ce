#include "core/update/JobFile.h"

#include "core/app/AppState.h"
#include "core/base/FileIo.h"
#include "core/base/XmlFile.h"

#include <QDir>

namespace JobFile {

namespace {

void addText(QDomDocument &doc, QDomElement &parent, const QString &name, const QString &text = QString())
{
    QDomElement element = doc.createElement(name);
    if (!text.isEmpty())
        element.appendChild(doc.createTextNode(text));
    parent.appendChild(element);
}

struct OperationValues
{
    QString fileName;
    const char16_t *startAddress;
    const char16_t *bankType;
    const char16_t *writeCss;
    const char16_t *addressCss;
    bool goToAppAfter;
};

void addOperation(QDomDocument &doc, QDomElement &operations, const OperationValues &v, bool readBack)
{
    QDomElement op = doc.createElement(QStringLiteral("Operation"));
    addText(doc, op, QStringLiteral("Ope_Protection_Enabled"));
    addText(doc, op, QStringLiteral("Ope_GoToBoot_Before"), QStringLiteral("0"));
    addText(doc, op, QStringLiteral("Ope_GoToApp_Before"), QStringLiteral("0"));
    addText(doc, op, QStringLiteral("Ope_IP_Address"));
    addText(doc, op, QStringLiteral("Ope_Port"), QStringLiteral("2008"));
    addText(doc, op, QStringLiteral("Ope_Port_Sec"), QStringLiteral("2007"));
    addText(doc, op, QStringLiteral("Ope_Erase_Memory"), QStringLiteral("0"));
    addText(doc, op, QStringLiteral("Ope_FileName"), v.fileName);
    addText(doc, op, QStringLiteral("Ope_Start_Address"), QString::fromUtf16(v.startAddress));
    addText(doc, op, QStringLiteral("Ope_Memory_Type"), QStringLiteral("0"));
    addText(doc, op, QStringLiteral("Ope_Bank_Type"), QString::fromUtf16(v.bankType));
    addText(doc, op, QStringLiteral("Ope_Read_Back"), readBack ? QStringLiteral("1") : QStringLiteral("0"));
    addText(doc, op, QStringLiteral("Ope_Write_CSS"), QString::fromUtf16(v.writeCss));
    addText(doc, op, QStringLiteral("Ope_Address_CSS"), QString::fromUtf16(v.addressCss));
    addText(doc, op, QStringLiteral("Ope_Command_CSS"), QStringLiteral("0x0B"));
    addText(doc, op, QStringLiteral("Ope_GoToApp_After"), v.goToAppAfter ? QStringLiteral("1") : QStringLiteral("0"));
    operations.appendChild(op);
}

} // namespace

QString fileName()
{
    return QStringLiteral("Lanvesk.xml");
}

QString path(const QString &dirExe)
{
    return joinPath(dirExe, fileName());
}

QDomDocument build(const Job &job)
{
    QDomDocument doc;
    QDomElement root = doc.createElement(QStringLiteral("Lanvesk"));
    doc.appendChild(root);
    addText(doc, root, QStringLiteral("Version"), QStringLiteral("1000"));
    addText(doc, root, QStringLiteral("Title"), QStringLiteral("Velmornet - PK58104 Ethernet Update"));
    addText(doc, root, QStringLiteral("IP_Address_Dev"), job.ipFields.join(u'.'));
    addText(doc, root, QStringLiteral("Application_Port"), QStringLiteral("10000"));
    addText(doc, root, QStringLiteral("Boot_Port"), QStringLiteral("2008"));
    addText(doc, root, QStringLiteral("Boot_Port_Sec"), QStringLiteral("2007"));
    addText(doc, root, QStringLiteral("Address_Protection"), QStringLiteral("0x78000"));
    QDomElement protections = doc.createElement(QStringLiteral("Protections"));
    addText(doc, protections, QStringLiteral("Protection"), QStringLiteral("0x57F"));
    root.appendChild(protections);

    QDomElement operations = doc.createElement(QStringLiteral("Operations"));
    if (job.option != Configuration) {
        addOperation(doc, operations,
                     {joinPath(job.dirMaster, QStringLiteral("Rom58104K.sim")), u"0x8000", u"1", u"1", u"0x78100",
                      job.option == Firmware},
                     job.readBack);
    }
    if (job.option != Firmware) {
        addOperation(doc, operations,
                     {joinPath(joinPath(job.dirProject, QStringLiteral("bin")), QStringLiteral("bank_K60.bin")),
                      u"0x60000", u"2", u"0", u"0x50100", true},
                     job.readBack);
    }
    root.appendChild(operations);
    return doc;
}

QByteArray bytes(const Job &job)
{
    return XmlFile::bytes(build(job));
}

namespace {
// The tool would get a job it cannot read, or a path that names another file.
QString unstorable(const Job &job)
{
    for (const QString &field : job.ipFields) {
        if (!XmlFile::storable(field))
            return QStringLiteral("the device address holds a control character");
    }
    for (const QString *dir : {&job.dirMaster, &job.dirProject}) {
        if (!XmlFile::storable(*dir))
            return QStringLiteral("the folder %1 holds a control character in its name")
                .arg(QDir::toNativeSeparators(XmlFile::storableText(*dir)));
    }
    return QString();
}
} // namespace

QString write(QIODevice &device, const Job &job)
{
    const QString why = unstorable(job);
    if (!why.isEmpty())
        return QStringLiteral("Cannot write %1: %2").arg(fileName(), why);
    return FileIo::writeAll(device, bytes(job));
}

QString Compile_XML_Parameter(const Job &job)
{
    const QString why = unstorable(job);
    if (!why.isEmpty())
        return QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path(job.dirExe)), why);
    return FileIo::saveFile(path(job.dirExe), bytes(job));
}

} // namespace JobFile
