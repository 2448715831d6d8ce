#include "core/config/CobIdCsv.h"

#include "core/base/Catalog.h"
#include "core/base/FileIo.h"
#include "core/config/DocumentXml.h"

#include <QStringDecoder>

namespace CobIdCsv {

namespace {

struct Record
{
    int line = 0;
    QStringList fields;
};

bool needsQuotes(const QString &text)
{
    if (text.isEmpty())
        return false;
    if (text.front().unicode() <= 32 || text.back().unicode() <= 32)
        return true;
    for (const QChar c : text) {
        if (c == u',' || c == u';' || c == u'"' || c == u'\r' || c == u'\n')
            return true;
    }
    return false;
}

QString field(const QString &text)
{
    if (!needsQuotes(text))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

bool startsFormula(QStringView text)
{
    return !text.isEmpty()
        && (text.front() == u'=' || text.front() == u'+' || text.front() == u'-' || text.front() == u'@');
}

// A leading apostrophe that guardText put there, or that a spreadsheet shows as one.
bool guarded(QStringView cell)
{
    return cell.size() >= 2 && cell.front() == u'\'' && (startsFormula(cell.sliced(1)) || cell[1] == u'\'');
}

QString lineError(const QString &shownName, int line, const QString &reason)
{
    return Catalog::messages().text(TextId::FileLineError).arg(shownName, QString::number(line), reason);
}

// The first line whose bytes are not UTF-8. A multi-byte sequence never holds a line feed,
// so the lines can be checked one by one.
int firstBadUtf8Line(const QByteArray &bytes)
{
    int line = 1;
    qsizetype start = 0;
    while (start <= bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString ignored = decoder.decode(QByteArrayView(bytes).sliced(start, end - start));
        Q_UNUSED(ignored)
        if (decoder.hasError())
            return line;
        start = end + 1;
        ++line;
    }
    return line;
}

bool allBlank(const QStringList &fields)
{
    for (const QString &f : fields) {
        if (!CobIdTable::blank(f))
            return false;
    }
    return true;
}

// Spreadsheets set to a locale with a decimal comma separate fields with ";": the header,
// the first line with something on it, tells.
QChar separator(const QString &text)
{
    qsizetype begin = 0;
    while (begin < text.size() && text[begin].unicode() <= 32)
        ++begin;
    qsizetype end = begin;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
        ++end;
    const QStringView first = QStringView(text).sliced(begin, end - begin);
    return first.contains(u';') && !first.contains(u',') ? u';' : u',';
}

// Splits the text into records, leaving out those with nothing in them. Returns an empty text
// or "line N: reason". Stops after the header and one row more than a table holds, with
// `overflowLine` set to the line of that row: the rest cannot be imported anyway, and a file
// of millions of short lines would otherwise take gigabytes.
QString split(const QString &text, QChar sep, const QString &shownName, std::vector<Record> &records, int &overflowLine)
{
    overflowLine = 0;
    const qsizetype n = text.size();
    qsizetype i = 0;
    int line = 1;
    const auto lineBreakAt = [&](qsizetype k) {
        return text[k] == u'\n' || (text[k] == u'\r' && (k + 1 >= n || text[k + 1] != u'\n'));
    };
    while (i < n) {
        Record record;
        record.line = line;
        for (;;) {
            QString value;
            if (i < n && text[i] == u'"') {
                const int opened = line;
                ++i;
                for (;;) {
                    if (i >= n)
                        return lineError(shownName, opened, Catalog::messages().text(TextId::CsvQuoteNotClosed));
                    if (text[i] == u'"') {
                        if (i + 1 < n && text[i + 1] == u'"') {
                            value += u'"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (lineBreakAt(i))
                        ++line;
                    value += text[i++];
                }
                if (i < n && text[i] != sep && text[i] != u'\r' && text[i] != u'\n')
                    return lineError(shownName, line, Catalog::messages().text(TextId::CsvTextAfterQuote));
            } else {
                while (i < n && text[i] != sep && text[i] != u'\r' && text[i] != u'\n') {
                    if (text[i] == u'"')
                        return lineError(shownName, line, Catalog::messages().text(TextId::CsvStrayQuote));
                    value += text[i++];
                }
            }
            record.fields.append(value);
            if (i < n && text[i] == sep) {
                ++i;
                continue;
            }
            break;
        }
        if (i < n && text[i] == u'\r')
            ++i;
        if (i < n && text[i] == u'\n')
            ++i;
        ++line;
        if (allBlank(record.fields))
            continue;
        records.push_back(std::move(record));
        if (records.size() > size_t(CobIdTable::RowCount) + 1) {
            overflowLine = records.back().line;
            records.pop_back();
            break;
        }
    }
    return QString();
}

} // namespace

QString guardText(const QString &text)
{
    return startsFormula(text) || guarded(text) ? u'\'' + text : text;
}

QString unguardText(const QString &cell)
{
    return guarded(cell) ? cell.sliced(1) : cell;
}

const QStringList &header()
{
    static const QStringList titles{QStringLiteral("Original CobID"), QStringLiteral("Type CobID"),
                                    QStringLiteral("Modify CobID"), QStringLiteral("Type CobID"),
                                    QStringLiteral("Mnemonic")};
    return titles;
}

QByteArray toBytes(const CobIdTable &table)
{
    QString text = header().join(u',') + QStringLiteral("\r\n");
    const int used = table.usedRowCount();
    for (int r = 0; r < used; ++r) {
        QStringList fields;
        const CobIdTable::Row &cells = table.row(r);
        for (int c = 0; c < CobIdTable::CellCount; ++c) {
            const QString &cell = cells[size_t(c)];
            fields.append(field(c == CobIdTable::Desc ? guardText(cell) : cell));
        }
        text += fields.join(u',') + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

QString write(const CobIdTable &table, QIODevice &device)
{
    return FileIo::writeAll(device, toBytes(table));
}

QString save(const CobIdTable &table, const QString &path)
{
    return FileIo::saveFile(path, toBytes(table));
}

QString parse(const QByteArray &bytes, const QString &shownName, std::vector<ImportedRow> &rows)
{
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    const QString binary = binaryImportRefusal(body, shownName);
    if (!binary.isEmpty())
        return binary;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(body);
    if (decoder.hasError())
        return lineError(shownName, firstBadUtf8Line(body), Catalog::messages().text(TextId::CsvNotUtf8));

    const QChar sep = separator(text);

    std::vector<Record> records;
    int overflowLine = 0;
    const QString error = split(text, sep, shownName, records, overflowLine);
    if (!error.isEmpty())
        return error;

    const Catalog &texts = Catalog::messages();
    const QString headerText = header().join(u',');
    const QString expected = texts.text(TextId::CsvHeaderExpected).arg(headerText);
    std::vector<ImportedRow> read;
    bool headerSeen = false;
    for (const Record &record : records) {
        if (allBlank(record.fields))
            continue;
        if (!headerSeen) {
            bool matches = record.fields.size() == header().size();
            for (int c = 0; matches && c < header().size(); ++c)
                matches = record.fields.at(c).trimmed().compare(header().at(c), Qt::CaseInsensitive) == 0;
            if (!matches)
                return lineError(shownName, record.line, expected);
            headerSeen = true;
            continue;
        }
        if (record.fields.size() != CobIdTable::CellCount)
            return lineError(shownName, record.line,
                             texts.text(TextId::CsvFieldCount).arg(record.fields.size()).arg(CobIdTable::CellCount));
        if (CobIdTable::blank(record.fields.at(CobIdTable::OrigCobId)))
            return lineError(shownName, record.line, texts.text(TextId::CsvOriginalEmpty));
        ImportedRow row;
        row.line = record.line;
        for (int c = 0; c < CobIdTable::CellCount; ++c) {
            if (!DocumentXml::storable(record.fields.at(c)))
                return lineError(shownName, record.line,
                                 texts.text(TextId::CsvControlCharacter).arg(QString::number(c + 1), header().at(c)));
            row.cells[size_t(c)] = c == CobIdTable::Desc ? unguardText(record.fields.at(c)) : record.fields.at(c);
        }
        read.push_back(std::move(row));
    }
    if (!headerSeen)
        return lineError(shownName, 1, texts.text(TextId::CsvEmpty).arg(headerText));
    if (read.empty())
        return texts.text(TextId::CsvHeaderOnly).arg(shownName);
    if (overflowLine > 0)
        return lineError(shownName, overflowLine, texts.text(TextId::TableTooManyRows).arg(CobIdTable::RowCount));
    rows = std::move(read);
    return QString();
}

} // namespace CobIdCsv
