#include "core/config/CobIdDocument.h"

#include "core/base/Catalog.h"
#include "core/base/FileIo.h"
#include "core/base/IntText.h"
#include "core/base/XmlFile.h"
#include "core/config/DocumentXml.h"
#include "core/config/ParGen.h"
#include "core/device/facts/DeviceFacts.h"
#include "core/device/facts/Direction.h"

#include <QDir>
#include <QDomElement>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

constexpr QLatin1String kRoot = QLatin1String("CanCanCobID");
constexpr QLatin1String kRow = QLatin1String("row");
constexpr QLatin1String kAttributes[CobIdTable::CellCount] = {QLatin1String("Orig_CobID"), QLatin1String("Type_CobID"),
                                                              QLatin1String("Mod_CobID"), QLatin1String("Type_MCobID"),
                                                              QLatin1String("Desc")};
QString tableTitle(int table)
{
    return Catalog::messages().text(Direction::at(table).titleText());
}

constexpr qint32 Max11Bit = qint32(DeviceFacts::Max11Bit);
constexpr qint32 Max29Bit = qint32(DeviceFacts::Max29Bit);

bool isType(const QString &text)
{
    return text == CobIdTable::type11Bit() || text == CobIdTable::type29Bit();
}

bool inRange(const QString &id, const QString &type)
{
    const qint32 value = IntText::readOr(id, -1);
    return value >= 0 && value <= (type == CobIdTable::type11Bit() ? Max11Bit : Max29Bit);
}

// What a node among the rows is, for the warning about rows left out of a table.
QString nodeKind(const QDomNode &node)
{
    const Catalog &texts = Catalog::messages();
    if (node.isElement())
        return texts.text(TextId::NodeRowWithoutOriginal);
    if (node.isComment())
        return texts.text(TextId::NodeComment);
    if (node.isCDATASection())
        return texts.text(TextId::NodeCdata);
    if (node.isText())
        return texts.text(TextId::NodeText);
    if (node.isProcessingInstruction())
        return texts.text(TextId::NodeProcessingInstruction);
    if (node.isEntityReference())
        return texts.text(TextId::NodeEntityReference);
    return texts.text(TextId::NodeNotARow);
}

// The nodes of a list read into the table: how many (up to the table's rows) and, for the one
// that ends the table, what it is.
struct ListRead
{
    int nodes = 0;
    int surplus = 0;
    std::vector<QDomNode> domNodes; // tree reading only
};

void readList(const QDomElement &list, CobIdTable &table, ListRead &found)
{
    const bool readTypes = !table.typesFollowPorts();
    int row = 0;
    for (QDomNode node = list.firstChild(); !node.isNull(); node = node.nextSibling(), ++row) {
        if (row >= CobIdTable::RowCount) {
            ++found.surplus;
            continue;
        }
        ++found.nodes;
        found.domNodes.push_back(node);
        // The node's name is not looked at; a node that is not an element gives empty cells.
        const QDomElement element = node.toElement();
        for (int c = 0; c < CobIdTable::CellCount; ++c) {
            if (!readTypes && (c == CobIdTable::TypeCobId || c == CobIdTable::TypeMCobId))
                continue;
            table.setCell(row, c, element.isNull() ? QString() : element.attribute(kAttributes[c]));
        }
    }
}

// The rows of a list that holds nothing but elements (and blanks), read from the stream.
// False when the list holds anything else: such a document is read through the tree.
bool readPlainList(QXmlStreamReader &xml, CobIdTable &table, ListRead &found)
{
    const bool readTypes = !table.typesFollowPorts();
    int row = 0;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::EndElement:
            return true;
        case QXmlStreamReader::StartElement:
            if (row < CobIdTable::RowCount) {
                ++found.nodes;
                const QXmlStreamAttributes attributes = xml.attributes();
                for (int c = 0; c < CobIdTable::CellCount; ++c) {
                    if (readTypes || (c != CobIdTable::TypeCobId && c != CobIdTable::TypeMCobId))
                        table.setCell(row, c, attributes.value(kAttributes[c]).toString());
                }
            } else {
                ++found.surplus;
            }
            ++row;
            xml.skipCurrentElement();
            break;
        case QXmlStreamReader::Characters:
            if (xml.isWhitespace() && !xml.isCDATA())
                break;
            return false;
        default:
            return false;
        }
    }
    return false;
}

// The documents this program writes have nothing before the root but the declaration, and
// nothing in their lists but row elements. Those are read with the stream reader, several
// times faster than building the tree for 4096 rows. Anything else (a node before the root,
// text or comments among the rows, a missing list, a parse error) returns false, and the tree
// reading, which defines how such documents read and what their errors say, takes over.
bool readPlain(const QByteArray &bytes, std::array<CobIdTable, CobIdDocument::TableCount> &tables,
               std::array<ListRead, CobIdDocument::TableCount> &found)
{
    QXmlStreamReader xml(bytes);
    xml.setNamespaceProcessing(false);
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement)
            break;
        if (token != QXmlStreamReader::StartDocument
            && !(token == QXmlStreamReader::Characters && xml.isWhitespace() && !xml.isCDATA()))
            return false;
    }
    if (xml.tokenType() != QXmlStreamReader::StartElement)
        return false;

    bool seen[CobIdDocument::TableCount] = {false, false};
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement)
            break;
        if (token != QXmlStreamReader::StartElement)
            continue; // the root's other nodes do not matter
        int t = -1;
        for (int i = 0; i < CobIdDocument::TableCount; ++i) {
            if (xml.qualifiedName() == CobIdDocument::listName(i))
                t = i;
        }
        if (t < 0 || seen[t]) {
            xml.skipCurrentElement();
            continue;
        }
        seen[t] = true;
        if (!readPlainList(xml, tables[size_t(t)], found[size_t(t)]))
            return false;
    }
    while (!xml.atEnd())
        xml.readNext();
    return !xml.hasError() && seen[0] && seen[1];
}

// The report of a read, and the refusal of a cell too long for the tables.
QString finishRead(const std::array<CobIdTable, CobIdDocument::TableCount> &tables,
                   const std::array<ListRead, CobIdDocument::TableCount> &found, const QString &shownName,
                   CobIdDocument::ReadReport &report)
{
    for (int t = 0; t < CobIdDocument::TableCount; ++t) {
        const CobIdTable &table = tables[size_t(t)];
        const ListRead &list = found[size_t(t)];
        for (int r = 0; r < list.nodes; ++r) {
            const QString why = CobIdTable::cellLengthError(table.row(r));
            if (!why.isEmpty())
                return Catalog::messages()
                    .text(TextId::CobIdNodeNotReadable)
                    .arg(shownName, QString::number(r + 1), CobIdDocument::listName(t), why);
        }
        report.surplusRows[size_t(t)] = list.surplus;
        const int used = table.usedRowCount();
        if (list.nodes > used) {
            report.hiddenRows[size_t(t)] = list.nodes - used;
            report.endRow[size_t(t)] = used + 1;
            report.endNode[size_t(t)] = size_t(used) < list.domNodes.size()
                ? nodeKind(list.domNodes[size_t(used)])
                : Catalog::messages().text(TextId::NodeRowWithoutOriginal);
        }
    }
    return QString();
}

} // namespace

const QString &CobIdDocument::listName(int table)
{
    static const QString names[TableCount] = {QLatin1String(Direction(Direction::Can0ToCan1).name()),
                                              QLatin1String(Direction(Direction::Can1ToCan0).name())};
    return names[Direction::at(table).index()];
}

CobIdDocument::CobIdDocument(const ParGenFilterValues &parGen)
{
    if (parGen.typesFollowPorts()) {
        const QString &can0 = CobIdTable::typeText(parGen.can0Type);
        const QString &can1 = CobIdTable::typeText(parGen.can1Type);
        m_tables[Direction::Can0ToCan1].setPortTypes(can0, can1);
        m_tables[Direction::Can1ToCan0].setPortTypes(can1, can0);
    }
}

QString CobIdDocument::surplusWarning(const ReadReport &report, const QString &path)
{
    const Catalog &texts = Catalog::messages();
    QStringList parts;
    for (int t = 0; t < TableCount; ++t) {
        if (report.surplusRows[size_t(t)] > 0)
            parts << texts.text(TextId::CobIdSurplusRows)
                         .arg(QString::number(report.surplusRows[size_t(t)]), QString::number(CobIdTable::RowCount),
                              listName(t));
    }
    if (parts.isEmpty())
        return QString();
    const QString both = parts.size() == 1 ? parts[0] : texts.text(TextId::CobIdSurplusBoth).arg(parts[0], parts[1]);
    return texts.text(TextId::CobIdTooManyRows)
        .arg(QDir::toNativeSeparators(path), both, QString::number(CobIdTable::RowCount));
}

QString CobIdDocument::hiddenWarning(const ReadReport &report, const QString &path)
{
    const Catalog &texts = Catalog::messages();
    QStringList parts;
    for (int t = 0; t < TableCount; ++t) {
        const int hidden = report.hiddenRows[size_t(t)];
        if (hidden == 0)
            continue;
        const int end = report.endRow[size_t(t)];
        if (hidden == 1)
            parts << texts.text(TextId::CobIdEndRow)
                         .arg(listName(t), tableTitle(t), QString::number(end), report.endNode[size_t(t)]);
        else
            parts << texts.text(TextId::CobIdEndRows)
                         .arg(listName(t), tableTitle(t), QString::number(end), report.endNode[size_t(t)],
                              QString::number(hidden));
    }
    if (parts.isEmpty())
        return QString();
    return texts.text(TextId::CobIdEndAdvice).arg(QDir::toNativeSeparators(path), parts.join(QLatin1Char(' ')));
}

QString CobIdDocument::warning(const ReadReport &report, const QString &path)
{
    QStringList parts;
    for (const QString &part : {surplusWarning(report, path), hiddenWarning(report, path)}) {
        if (!part.isEmpty())
            parts << part;
    }
    return parts.join(QLatin1Char('\n'));
}

QString CobIdDocument::read(const QString &path, ReadReport *report)
{
    if (report)
        *report = ReadReport();
    if (FileIo::absent(path))
        return QString();
    QByteArray bytes;
    const QString error = FileIo::readFile(path, bytes, MaxFileBytes);
    if (!error.isEmpty())
        return error;
    return read(bytes, QDir::toNativeSeparators(path), report);
}

QString CobIdDocument::read(const QByteArray &bytes, const QString &shownName, ReadReport *report)
{
    if (report)
        *report = ReadReport();
    // The stream reader meets the same costly shapes as the tree.
    const QString shapeError = XmlFile::shapeError(bytes, shownName);
    if (!shapeError.isEmpty())
        return shapeError;
    std::array<CobIdTable, TableCount> tables = m_tables;
    std::array<ListRead, TableCount> found;
    ReadReport result;
    if (readPlain(bytes, tables, found)) {
        const QString error = finishRead(tables, found, shownName, result);
        if (!error.isEmpty())
            return error;
        m_tables = std::move(tables);
        if (report)
            *report = result;
        return QString();
    }
    QDomDocument doc;
    QDomNode root;
    QString error;
    if (DocumentXml::parseRoot(bytes, shownName, doc, root, error) != DocumentXml::Load::Loaded)
        return error;
    return readRoot(root, shownName, report);
}

QString CobIdDocument::readRoot(const QDomNode &root, const QString &shownName, ReadReport *report)
{
    QDomElement lists[TableCount];
    for (int t = 0; t < TableCount; ++t) {
        lists[t] = root.firstChildElement(listName(t));
        if (lists[t].isNull()) {
            const Catalog &texts = Catalog::messages();
            const QString holder = root.isElement() ? texts.text(TextId::CobIdRootElement).arg(root.nodeName())
                                                    : texts.text(TextId::CobIdFirstNode);
            return texts.text(TextId::CobIdNoList)
                .arg(shownName, QString::number(root.lineNumber()), QString::number(root.columnNumber()), holder,
                     listName(t));
        }
    }
    std::array<CobIdTable, TableCount> tables = m_tables;
    std::array<ListRead, TableCount> found;
    for (int t = 0; t < TableCount; ++t)
        readList(lists[t], tables[size_t(t)], found[size_t(t)]);
    ReadReport result;
    const QString error = finishRead(tables, found, shownName, result);
    if (!error.isEmpty())
        return error;
    m_tables = std::move(tables);
    if (report)
        *report = result;
    return QString();
}

QString CobIdDocument::toBytes(QByteArray &bytes) const
{
    for (int t = 0; t < TableCount; ++t) {
        const CobIdTable &table = m_tables[size_t(t)];
        const int used = table.usedRowCount();
        for (int r = 0; r < used; ++r) {
            for (const QString &text : table.row(r)) {
                if (!DocumentXml::storable(text))
                    return Catalog::messages()
                        .text(TextId::CobIdControlCharacter)
                        .arg(QString::number(r + 1), tableTitle(t));
            }
            const QString tooLong = CobIdTable::cellLengthError(table.row(r));
            if (!tooLong.isEmpty())
                return Catalog::messages().text(TextId::CobIdInRow).arg(QString::number(r + 1), tableTitle(t), tooLong);
        }
    }

    bytes.clear();
    QXmlStreamWriter w(&bytes);
    w.writeStartElement(kRoot);
    for (int t = 0; t < TableCount; ++t) {
        const CobIdTable &table = m_tables[size_t(t)];
        w.writeStartElement(listName(t));
        const int used = table.usedRowCount();
        for (int r = 0; r < used; ++r) {
            w.writeEmptyElement(kRow);
            for (int c = 0; c < CobIdTable::CellCount; ++c)
                w.writeAttribute(kAttributes[c], table.cell(r, c));
        }
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeComment(QString::fromUtf16(DocumentXml::VersionComment));
    w.writeCharacters(QStringLiteral("\n"));
    // Escaping can make a text several times longer ("&" takes five bytes); a file larger than
    // the readers take could never be opened again.
    if (bytes.size() > MaxFileBytes) {
        const qint64 size = bytes.size();
        bytes.clear();
        return Catalog::messages()
            .text(TextId::CobIdTooLarge)
            .arg(QString::number(size), QString::number(MaxFileBytes));
    }
    return QString();
}

QString CobIdDocument::write(QIODevice &device) const
{
    QByteArray bytes;
    const QString error = toBytes(bytes);
    return error.isEmpty() ? FileIo::writeAll(device, bytes) : error;
}

QString CobIdDocument::save(const QString &path) const
{
    QByteArray bytes;
    const QString error = toBytes(bytes);
    if (!error.isEmpty())
        return Catalog::messages().text(TextId::CannotWrite).arg(QDir::toNativeSeparators(path), error);
    return FileIo::saveFile(path, bytes);
}

std::optional<CobIdFailure> CobIdDocument::Controllo_dati(bool positive) const
{
    for (int t = 0; t < TableCount; ++t) {
        const CobIdTable &table = m_tables[size_t(t)];
        const int base = t == Direction::Can0ToCan1 ? 543 : 549;
        const int used = table.usedRowCount();
        for (int r = 0; r < used; ++r) {
            const auto fail = [&](int offset) { return CobIdFailure{t, r + 1, base + offset}; };
            const QString &origType = table.cell(r, CobIdTable::TypeCobId);
            if (!isType(origType))
                return fail(0);
            if (!inRange(table.cell(r, CobIdTable::OrigCobId), origType))
                return fail(origType == CobIdTable::type11Bit() ? 1 : 2);
            if (!positive)
                continue;
            const QString &modType = table.cell(r, CobIdTable::TypeMCobId);
            if (!isType(modType))
                return fail(3);
            if (!inRange(table.cell(r, CobIdTable::ModCobId), modType))
                return fail(modType == CobIdTable::type11Bit() ? 4 : 5);
        }
    }
    return std::nullopt;
}

QString CobIdDocument::message(const CobIdFailure &failure, const Catalog &catalog)
{
    return catalog.text(542) + QString::number(failure.row) + catalog.text(failure.message);
}

QString CobIdDocument::Controllo_dati(bool positive, const Catalog &catalog) const
{
    const auto failure = Controllo_dati(positive);
    return failure ? message(*failure, catalog) : QString();
}
