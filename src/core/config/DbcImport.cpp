#include "core/config/DbcImport.h"

#include "core/base/Catalog.h"
#include "core/config/CobIdChecks.h"
#include "core/device/facts/DeviceFacts.h"

#include <optional>

namespace DbcImport {

namespace {

constexpr quint32 ExtendedFlag = DeviceFacts::ExtMark;
using DeviceFacts::Max11Bit;
using DeviceFacts::Max29Bit;
// Holds the signals that belong to no message; not a frame on the bus. Files write it with
// 0xC0000000 or with 1073741824 (0x40000000), so it is known by its name.
constexpr quint32 IndependentSignals = 0xC0000000u;
const QLatin1String IndependentSignalsName("VECTOR__INDEPENDENT_SIG_MSG");
// Messages named in the refusal of identifiers without the 29-bit flag.
constexpr int MaxWideNamed = 20;

QString lineError(const QString &shownName, int line, const QString &reason)
{
    return Catalog::messages().text(TextId::FileLineError).arg(shownName, QString::number(line), reason);
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isNameChar(QChar c, bool first)
{
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || u == u'_' || (!first && u >= u'0' && u <= u'9');
}

// Reads "BO_ <id> <name> : <size> <transmitter>" after the keyword. Empty text on success;
// `nameIsIdentifier` tells whether the name is a C identifier.
QString readMessage(QStringView s, quint32 &rawId, QString &name, bool &nameIsIdentifier)
{
    qsizetype i = 0;
    const qsizetype n = s.size();
    const auto skipBlanks = [&] {
        while (i < n && isBlank(s[i]))
            ++i;
    };
    const auto token = [&] {
        const qsizetype start = i;
        while (i < n && !isBlank(s[i]) && s[i] != u':')
            ++i;
        return s.sliced(start, i - start);
    };

    skipBlanks();
    const QStringView id = token();
    if (id.isEmpty())
        return Catalog::messages().text(TextId::DbcIdMissing);
    bool ok = false;
    rawId = id.toUInt(&ok, 10);
    if (!ok || !id.front().isDigit())
        return Catalog::messages().text(TextId::DbcIdNotDecimal).arg(id);

    skipBlanks();
    const QStringView nameText = token();
    if (nameText.isEmpty())
        return Catalog::messages().text(TextId::DbcNameMissing);
    nameIsIdentifier = true;
    for (qsizetype k = 0; k < nameText.size(); ++k) {
        if (!isNameChar(nameText[k], k == 0))
            nameIsIdentifier = false;
    }
    name = nameText.toString();

    skipBlanks();
    if (i >= n || s[i] != u':')
        return Catalog::messages().text(TextId::DbcColonMissing).arg(name);
    ++i;
    skipBlanks();
    const QStringView size = token();
    bool sizeOk = false;
    const uint bytes = size.toUInt(&sizeOk, 10);
    Q_UNUSED(bytes)
    if (!sizeOk || !size.front().isDigit())
        return Catalog::messages().text(TextId::DbcSizeMissing).arg(name);
    skipBlanks();
    if (token().isEmpty())
        return Catalog::messages().text(TextId::DbcTransmitterMissing).arg(name);
    skipBlanks();
    if (i < n)
        return Catalog::messages().text(TextId::DbcTextAfterTransmitter).arg(name);
    return QString();
}

// Tracks whether a line ends inside a quoted string (comments and attribute values may span
// lines), so a comment line starting with BO_ is not taken for a message. `opensHere`: the
// string the line ends in starts on it.
bool endsInsideString(QStringView line, bool inside, bool &opensHere)
{
    opensHere = false;
    for (qsizetype k = 0; k < line.size(); ++k) {
        if (inside && line[k] == u'\\') {
            ++k;
            continue;
        }
        if (line[k] == u'"') {
            inside = !inside;
            opensHere = inside;
        }
    }
    return inside;
}

// The line after its leading blanks when it is a message line; BO_TX_BU_ and other keywords
// share the prefix, so only "BO_" on its own counts.
std::optional<QStringView> messageBody(QStringView line)
{
    qsizetype start = 0;
    while (start < line.size() && isBlank(line[start]))
        ++start;
    const QStringView body = line.sliced(start);
    if (!body.startsWith(QLatin1String("BO_")) || (body.size() > 3 && !isBlank(body[3])))
        return std::nullopt;
    return body;
}

bool isBlankText(const QString &text)
{
    for (const QChar c : text) {
        if (!isBlank(c) && c != u'\r' && c != u'\n')
            return false;
    }
    return true;
}

} // namespace

QString parse(const QByteArray &bytes, const QString &shownName, bool fillModify, std::vector<ImportedRow> &rows)
{
    return parse(bytes, shownName, fillModify, rows, WideIds::Refuse, nullptr);
}

QString parse(const QByteArray &bytes, const QString &shownName, bool fillModify, std::vector<ImportedRow> &rows,
              WideIds wideIds, Report *report)
{
    Report local;
    Report &r = report ? *report : local;
    r = Report();
    QStringList wideNamed;
    // Names are ASCII; comments in any 8-bit code page are passed over, so Latin-1 is enough.
    const QString text = QString::fromLatin1(bytes);
    std::vector<ImportedRow> read;
    bool insideString = false;
    int quoteLine = 0;        // where the string the file ends in starts
    int messagesInString = 0; // message lines inside strings that are never closed
    bool pseudoSeen = false;
    // Line by line without a list of them: a file of millions of empty lines stays small.
    qsizetype from = 0;
    for (int k = 0; from <= text.size(); ++k) {
        qsizetype to = text.indexOf(u'\n', from);
        if (to < 0)
            to = text.size();
        QStringView line = QStringView(text).sliced(from, to - from);
        from = to + 1;
        if (line.endsWith(u'\r'))
            line.chop(1);
        const int lineNumber = k + 1;
        const bool startsInside = insideString;
        bool opensHere = false;
        insideString = endsInsideString(line, insideString, opensHere);
        if (!startsInside || opensHere)
            messagesInString = 0;
        if (opensHere)
            quoteLine = lineNumber;
        const std::optional<QStringView> body = messageBody(line);
        if (!body)
            continue;
        if (startsInside) {
            ++messagesInString;
            continue;
        }
        quint32 rawId = 0;
        QString name;
        bool nameIsIdentifier = true;
        const QString reason = readMessage(body->sliced(3), rawId, name, nameIsIdentifier);
        if (!reason.isEmpty())
            return lineError(shownName, lineNumber, reason);
        if (rawId == IndependentSignals || name == IndependentSignalsName) {
            pseudoSeen = true;
            continue;
        }
        if (!nameIsIdentifier)
            r.warnings << lineError(shownName, lineNumber,
                                    Catalog::messages().text(TextId::DbcNameNotIdentifier).arg(name));
        bool extended = (rawId & ExtendedFlag) != 0;
        const quint32 id = rawId & ~ExtendedFlag;
        if (!extended && id > Max11Bit) {
            ++r.wideIds;
            if (wideIds == WideIds::Refuse) {
                if (wideNamed.size() < MaxWideNamed)
                    wideNamed << Catalog::messages()
                                     .text(TextId::DbcWideIdLine)
                                     .arg(QString::number(lineNumber), name, QString::number(rawId));
                continue;
            }
            extended = true;
        }
        if (id > Max29Bit)
            return lineError(shownName, lineNumber,
                             Catalog::messages().text(TextId::DbcIdBeyond29Bit).arg(QString::number(rawId), name));
        // No table takes more; the rest of the file need not be read.
        if (read.size() == size_t(CobIdTable::RowCount))
            return lineError(shownName, lineNumber,
                             Catalog::messages().text(TextId::TableTooManyRows).arg(CobIdTable::RowCount));
        ImportedRow row;
        row.line = lineNumber;
        row.cells[CobIdTable::OrigCobId] = CobIdChecks::idText(id, extended);
        row.cells[CobIdTable::TypeCobId] = extended ? CobIdTable::type29Bit() : CobIdTable::type11Bit();
        if (fillModify) {
            row.cells[CobIdTable::ModCobId] = row.cells[CobIdTable::OrigCobId];
            row.cells[CobIdTable::TypeMCobId] = row.cells[CobIdTable::TypeCobId];
        }
        row.cells[CobIdTable::Desc] = name;
        read.push_back(std::move(row));
    }
    if (!wideNamed.isEmpty()) {
        const Catalog &texts = Catalog::messages();
        QString named = wideNamed.join(QStringLiteral("; "));
        if (r.wideIds > wideNamed.size())
            named = texts.text(TextId::DbcAndMore).arg(named, QString::number(r.wideIds - wideNamed.size()));
        return texts.text(r.wideIds == 1 ? TextId::DbcWideId : TextId::DbcWideIds)
            .arg(shownName, QString::number(r.wideIds), named);
    }
    // A file that gives no row is refused with what it holds instead, so that no table is emptied.
    const Catalog &texts = Catalog::messages();
    if (read.empty() && isBlankText(text))
        return texts.text(TextId::ImportEmpty).arg(shownName);
    // Before the quote: binary bytes hold stray quotes.
    const QString binary = read.empty() ? binaryImportRefusal(bytes, shownName) : QString();
    if (!binary.isEmpty())
        return binary;
    // A quote left open takes in the rest of the file: messages there would be lost unseen.
    if (insideString && (read.empty() || messagesInString > 0))
        return lineError(shownName, quoteLine, texts.text(TextId::DbcQuoteNotClosed).arg(messagesInString));
    if (read.empty() && pseudoSeen)
        return texts.text(TextId::DbcOnlyPseudoMessage).arg(shownName, IndependentSignalsName);
    if (read.empty())
        return texts.text(TextId::DbcNoMessage).arg(shownName);
    rows = std::move(read);
    return QString();
}

} // namespace DbcImport
