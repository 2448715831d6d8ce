#include "core/image/SrecMerge.h"

#include "core/projects/ProjectFiles.h"

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "core/base/FileIo.h"
#include "core/base/IntText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace SrecMerge {

namespace {

constexpr QLatin1String kNoSource = QLatin1String("File *.Sx Not Found,Abort Procedure");
constexpr QLatin1String kNoNewName = QLatin1String("File New *.Sx Not Found,Abort Procedure");
constexpr QLatin1String kNoBinDir = QLatin1String("Directory Bin Not Found,Abort Procedure");
constexpr QLatin1String kBadLine = QLatin1String("File New Sx Not Create,Abort Procedure");

const char kHexDigits[] = "0123456789ABCDEF";

bool readHex(const char *digits, int count, quint32 &value)
{
    value = 0;
    for (int i = 0; i < count; ++i) {
        const int v = IntText::hexDigit(digits[i]);
        if (v < 0)
            return false;
        value = (value << 4) | quint32(v);
    }
    return true;
}

void putHexByte(char *at, quint8 byte)
{
    at[0] = kHexDigits[byte >> 4];
    at[1] = kHexDigits[byte & 0x0F];
}

void report(const std::function<void(int)> &fn, int value)
{
    if (fn)
        fn(value);
}

QString intermediateName(int bank)
{
    return QStringLiteral("B%1.sx").arg(bank);
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

Outcome stop(const QString &message, bool fileError = false)
{
    Outcome o;
    o.message = message;
    o.fileError = fileError;
    return o;
}

// Removes the intermediate files when the chain leaves, however it leaves.
class IntermediateFiles
{
public:
    explicit IntermediateFiles(const QString &dir)
        : m_dir(dir)
    {
    }
    ~IntermediateFiles()
    {
        for (int k = 1; k <= BankCount; ++k)
            QFile::remove(joinPath(m_dir, intermediateName(k)));
    }
    IntermediateFiles(const IntermediateFiles &) = delete;
    IntermediateFiles &operator=(const IntermediateFiles &) = delete;

private:
    QString m_dir;
};

// The chain writes and then deletes B1.sx .. B5.sx; a firmware file or a new file of one of
// those names would be overwritten or deleted with them.
QString nameClash(const SxFiles &files)
{
    const QFileInfo source(files.sourcePath());
    for (int k = 1; k <= BankCount; ++k) {
        const QString name = intermediateName(k);
        const QFileInfo intermediate(joinPath(files.NomeDirSxNew, name));
        if ((source.exists() && intermediate.exists() && source == intermediate)
            || files.NomeFileSxNew.compare(name, Qt::CaseInsensitive) == 0)
            return QStringLiteral("File %1 Is Used For Intermediate Results,Abort Procedure").arg(name);
    }
    return QString();
}

} // namespace

quint32 bankFirstAddress(int bank)
{
    Q_ASSERT(bank >= 1 && bank <= BankCount);
    return 0x388000u + quint32(bank - 1) * 0x10000u;
}

QString SxFiles::sourcePath() const
{
    return joinPath(Dir_Master, NomeFileSx);
}

QString SxFiles::newFilePath() const
{
    return joinPath(NomeDirSxNew, NomeFileSxNew);
}

SxFiles filesFor(const QString &dirProject, const QString &dirMaster, const QString &firmwareName)
{
    const QString sep = QDir::separator();
    SxFiles f;
    f.Dir_Master = dirMaster;
    f.NomeFileSx = firmwareName;
    f.NomeFileSxNew = ProjectFiles::mergedFirmwarePrefix() + firmwareName;
    f.NomeDirSxNew = QDir::toNativeSeparators(dirProject);
    if (!f.NomeDirSxNew.endsWith(sep))
        f.NomeDirSxNew += sep;
    const QString bin = joinPath(dirProject, QStringLiteral("bin"));
    if (QFileInfo(bin).isDir())
        f.NomeDirBin = bin + sep;
    return f;
}

QString Sx_Checksum(QString &record)
{
    const int n = record.size();
    if (n < 6 || n % 2 != 0)
        return QString();
    unsigned sum = 0;
    for (int i = 2; i < n - 2; i += 2) {
        const char16_t hi = record.at(i).unicode();
        const char16_t lo = record.at(i + 1).unicode();
        const int h = hi < 128 ? IntText::hexDigit(char(hi)) : -1;
        const int l = lo < 128 ? IntText::hexDigit(char(lo)) : -1;
        if (h < 0 || l < 0)
            return QString();
        sum += unsigned(h * 16 + l);
    }
    char digits[2];
    putHexByte(digits, quint8(~sum & 0xFF));
    const QString checksum = QString::fromLatin1(digits, 2);
    record.replace(n - 2, 2, checksum);
    return checksum;
}

QByteArray bankRecords(quint32 first, const QByteArray &bank)
{
    Q_ASSERT(bank.size() >= BankSize);
    constexpr int lineLength = RecordLength + 2;
    QByteArray out(RecordsPerBank * lineLength, Qt::Uninitialized);
    char *line = out.data();
    const auto *data = reinterpret_cast<const quint8 *>(bank.constData());
    for (int r = 0; r < RecordsPerBank; ++r, line += lineLength, data += RecordData) {
        const quint32 address = first + quint32(r * RecordData);
        const quint8 a2 = quint8(address >> 16), a1 = quint8(address >> 8), a0 = quint8(address);
        unsigned sum = 0x24u + a2 + a1 + a0;
        std::copy_n("S224", 4, line); // no terminator: the line goes on
        putHexByte(line + 4, a2);
        putHexByte(line + 6, a1);
        putHexByte(line + 8, a0);
        for (int i = 0; i < RecordData; ++i) {
            putHexByte(line + 10 + 2 * i, data[i]);
            sum += data[i];
        }
        putHexByte(line + 74, quint8(~sum & 0xFF));
        line[76] = '\r';
        line[77] = '\n';
    }
    return out;
}

namespace {

// One line of the source: [begin, end) without its line end, and where the next one starts.
// A line ends in CR LF, LF or CR alone.
struct Line
{
    const char *begin;
    const char *end;
    const char *next;
};

Line lineAt(const char *p, const char *end)
{
    const char *nl = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
    const char *limit = nl ? nl : end;
    const char *cr = static_cast<const char *>(std::memchr(p, '\r', size_t(limit - p)));
    const char *e = cr ? cr : limit;
    const char *next = e;
    if (next < end && *next == '\r')
        ++next;
    if (next < end && *next == '\n' && (next == e || next[-1] == '\r'))
        ++next;
    return Line{p, e, next};
}

int countLines(const char *p, const char *end)
{
    int lines = 0;
    while (p < end) {
        p = lineAt(p, end).next;
        ++lines;
    }
    return lines;
}

// Address bytes of a data record type (S1, S2, S3), or 0 for any other line.
int addressBytes(const char *p, int length)
{
    if (length < 2 || p[0] != 'S')
        return 0;
    switch (p[1]) {
    case '1':
        return 2;
    case '2':
        return 3;
    case '3':
        return 4;
    default:
        return 0;
    }
}

// A data record of `type` ('1'..'3') at `address` holding `data`, with its checksum and CR LF.
void appendRecord(QByteArray &out, char type, int addrBytes, quint64 address, const quint8 *data, int count)
{
    const int byteCount = addrBytes + count + 1;
    char head[2 + 2 + 8];
    head[0] = 'S';
    head[1] = type;
    putHexByte(head + 2, quint8(byteCount));
    unsigned sum = unsigned(byteCount);
    for (int i = 0; i < addrBytes; ++i) {
        const quint8 b = quint8(address >> (8 * (addrBytes - 1 - i)));
        putHexByte(head + 4 + 2 * i, b);
        sum += b;
    }
    out.append(head, 4 + 2 * addrBytes);
    char digits[2];
    for (int i = 0; i < count; ++i) {
        putHexByte(digits, data[i]);
        out.append(digits, 2);
        sum += data[i];
    }
    putHexByte(digits, quint8(~sum & 0xFF));
    out.append(digits, 2);
    out.append("\r\n", 2);
}

// The record count (S5 up to 65535 records, S6 above) for the data records written before it.
void appendCount(QByteArray &out, int records)
{
    const bool wide = records > 0xFFFF;
    const quint8 bytes[3] = {quint8(records >> 16), quint8(records >> 8), quint8(records)};
    const quint8 *value = wide ? bytes : bytes + 1;
    const int n = wide ? 3 : 2;
    char text[2 + 2 + 6 + 2];
    text[0] = 'S';
    text[1] = wide ? '6' : '5';
    putHexByte(text + 2, quint8(n + 1));
    unsigned sum = unsigned(n + 1);
    for (int i = 0; i < n; ++i) {
        putHexByte(text + 4 + 2 * i, value[i]);
        sum += value[i];
    }
    putHexByte(text + 4 + 2 * n, quint8(~sum & 0xFF));
    out.append(text, 4 + 2 * n + 2);
    out.append("\r\n", 2);
}

// Spaces and tabs only: trailing text an editor may leave after the end record.
bool blank(const char *p, int length)
{
    return std::all_of(p, p + length, [](char c) { return c == ' ' || c == '\t'; });
}

// How a line that is no S9 record looks, for the message refusing a file without one.
QString describeLine(const char *p, int length)
{
    if (length >= 2 && p[0] == 'S' && p[1] >= '0' && p[1] <= '9')
        return QStringLiteral("an S%1 record").arg(QLatin1Char(p[1]));
    return QStringLiteral("no S-record (it begins \"%1\")").arg(QString::fromLatin1(p, std::min(length, 16)));
}

} // namespace

TextMerge mergeText(const QByteArray &source, int bank, const QByteArray &records, const Progress &progress,
                    const QString &sourceName)
{
    const quint64 first = bankFirstAddress(bank);
    const quint64 last = first + BankSize - 1;
    const char *p = source.constData();
    const char *const end = p + source.size();
    const QString name = sourceName.isEmpty() ? QString::fromUtf16(Name_Firmware) : sourceName;

    const int lines = countLines(p, end);
    const int counter = RecordsPerBank + lines;
    report(progress.setMaximum, counter);

    TextMerge m;
    QByteArray &out = m.bytes;
    out.reserve(source.size() + lines + records.size());
    int position = 0;
    int lineNumber = 0;
    int dataRecords = 0; // written so far, for a record count
    int lastLine = 0;    // the last line that was not empty
    const char *lastText = nullptr;
    int lastLength = 0;
    bool inserted = false;
    bool endRecord = false; // an S9 was read
    int endLine = 0;        // the line of the first end record (S7, S8, S9), or 0
    char endType = 0;
    QByteArray data;
    const auto refuse = [&](const QString &why) {
        m.message = kBadLine + QStringLiteral("\nLine %1 of %2 %3.").arg(lineNumber).arg(name, why);
    };
    const auto insert = [&] {
        if (inserted)
            return;
        out += records;
        dataRecords += RecordsPerBank;
        position += RecordsPerBank;
        report(progress.setValue, position);
        inserted = true;
    };
    while (p < end) {
        const Line line = lineAt(p, end);
        const int length = int(line.end - line.begin);
        ++lineNumber;
        report(progress.setValue, ++position);
        p = line.next;

        if (endLine > 0) {
            // Blank lines after the end record are harmless trailing text. Anything else would
            // be dropped by a loader that stops at the end record, or taken by one that does not.
            if (!blank(line.begin, length)) {
                refuse(QStringLiteral("follows the S%1 end record of line %2; only empty lines may come after it")
                           .arg(QLatin1Char(endType))
                           .arg(endLine));
                break;
            }
            out.append(line.begin, length);
            out.append("\r\n", 2);
            continue;
        }
        if (length == 0) {
            // Before the end record an empty line means a damaged file.
            refuse(QStringLiteral("is empty; only the end of the file may hold empty lines"));
            break;
        }
        lastLine = lineNumber;
        lastText = line.begin;
        lastLength = length;

        const char *t = line.begin;
        if (const int addrBytes = addressBytes(t, length)) {
            const auto kind = [t] { return QStringLiteral("is an S%1 record").arg(QLatin1Char(t[1])); };
            quint32 byteCount = 0;
            quint32 address = 0;
            if (length < 4 + 2 * addrBytes) {
                refuse(kind() + QStringLiteral(" too short to hold its address"));
                break;
            }
            if (!readHex(t + 2, 2, byteCount)) {
                refuse(
                    kind()
                    + QStringLiteral(" whose byte count \"%1\" is not hexadecimal").arg(QString::fromLatin1(t + 2, 2)));
                break;
            }
            if (!readHex(t + 4, 2 * addrBytes, address)) {
                refuse(kind()
                       + QStringLiteral(" whose address \"%1\" is not hexadecimal")
                             .arg(QString::fromLatin1(t + 4, 2 * addrBytes)));
                break;
            }
            if (int(byteCount) < addrBytes + 1 || length < 4 + 2 * int(byteCount)) {
                refuse(kind()
                       + QStringLiteral(" whose byte count %1 does not fit the %2 digits after it")
                             .arg(byteCount)
                             .arg(length - 4));
                break;
            }
            const int count = int(byteCount) - addrBytes - 1;
            const quint64 from = address;
            const quint64 to = count > 0 ? from + quint64(count) - 1 : from;
            if (to < first || from > last) {
                out.append(line.begin, length);
                out.append("\r\n", 2);
                ++dataRecords;
                continue;
            }
            if (from >= first && to <= last) {
                insert();
                continue;
            }
            // The record runs over an edge of the range: the bytes outside it stay.
            data.resize(count);
            bool hex = true;
            for (int i = 0; i < count && hex; ++i) {
                quint32 v;
                hex = readHex(t + 4 + 2 * addrBytes + 2 * i, 2, v);
                data[i] = char(v);
            }
            if (!hex) {
                refuse(kind() + QStringLiteral(" whose data is not hexadecimal"));
                break;
            }
            const auto *bytes = reinterpret_cast<const quint8 *>(data.constData());
            if (from < first) {
                appendRecord(out, t[1], addrBytes, from, bytes, int(first - from));
                ++dataRecords;
            }
            insert();
            if (to > last) {
                const int skip = int(last + 1 - from);
                appendRecord(out, t[1], addrBytes, last + 1, bytes + skip, count - skip);
                ++dataRecords;
            }
            continue;
        }
        if (length >= 2 && t[0] == 'S' && (t[1] == '5' || t[1] == '6')) {
            // The number of data records before it changes with the merge.
            appendCount(out, dataRecords);
            continue;
        }
        if (length >= 2 && t[0] == 'S' && (t[1] == '7' || t[1] == '8' || t[1] == '9')) {
            endLine = lineNumber;
            endType = t[1];
            endRecord = t[1] == '9';
            m.result = inserted ? 1 : 0;
        }
        out.append(line.begin, length);
        out.append("\r\n", 2);
    }
    if (m.message.isEmpty() && !endRecord) {
        m.message = QStringLiteral("File %1 Has No S9 Record,Abort Procedure\n").arg(name)
            + (lastText ? QStringLiteral("Line %1 is %2; the file must end with S9.")
                              .arg(lastLine)
                              .arg(describeLine(lastText, lastLength))
                        : QStringLiteral("The file is empty."));
    }
    if (!m.message.isEmpty())
        m.result = -1;
    report(progress.setValue, counter);
    return m;
}

namespace {

// The checks of one step that concern the bank, then the bank file itself.
Outcome readBank(int bank, const SxFiles &files, QByteArray &bytes)
{
    if (files.NomeDirBin.isEmpty() || !QFileInfo(files.NomeDirBin).isDir())
        return stop(kNoBinDir);
    const QString bankName = QStringLiteral("bank%1.bin").arg(bank);
    const QString bankPath = joinPath(files.NomeDirBin, bankName);
    if (!QFileInfo(bankPath).isFile())
        return stop(QStringLiteral("File %1 Not Found,Abort Procedure").arg(bankName));

    QFile bankFile(bankPath);
    if (!bankFile.open(QIODevice::ReadOnly))
        return stop(QStringLiteral("Cannot read %1: %2").arg(shown(bankPath), bankFile.errorString()), true);
    bytes = bankFile.read(BankSize);
    if (bankFile.error() != QFileDevice::NoError)
        return stop(QStringLiteral("Cannot read %1: %2").arg(shown(bankPath), bankFile.errorString()), true);
    // Records past the end of a short file would hold nothing defined.
    if (bytes.size() < BankSize)
        return stop(QStringLiteral("File %1 Holds %2 Bytes Instead Of %3,Abort Procedure")
                        .arg(bankName)
                        .arg(bytes.size())
                        .arg(BankSize));
    Outcome o;
    o.result = 1;
    return o;
}

} // namespace

QString missingBankMessage(int bank, const QString &firmwareName)
{
    const quint32 first = bankFirstAddress(bank);
    const Catalog &texts = Catalog::messages();
    return texts.text(TextId::MergeBankMissing)
               .arg(QString::number(bank), firmwareName, QString::number(first, 16).toUpper(),
                    QString::number(first + BankSize - 1, 16).toUpper())
        + u'\n' + texts.text(TextId::MergeBankMissingEffect);
}

Outcome Merge_Bank(int bank, const QString &source, const QString &destinationName, const SxFiles &files,
                   const Progress &progress)
{
    report(progress.setValue, 0);
    if (bank < 1 || bank > BankCount)
        return stop(QStringLiteral("Bank %1 Does Not Exist,Abort Procedure").arg(bank));
    if (!QFileInfo(source).isFile())
        return stop(kNoSource);
    if (files.NomeFileSxNew.isEmpty() || files.NomeDirSxNew.isEmpty() || destinationName.isEmpty())
        return stop(kNoNewName);
    QByteArray bankBytes;
    const Outcome bankRead = readBank(bank, files, bankBytes);
    if (bankRead.stopped())
        return bankRead;

    QByteArray sourceBytes;
    QString error = FileIo::readFile(source, sourceBytes, MaxFileBytes);
    if (!error.isEmpty())
        return stop(error, true);

    const TextMerge merged = mergeText(sourceBytes, bank, bankRecords(bankFirstAddress(bank), bankBytes), progress,
                                       QFileInfo(source).fileName());
    if (merged.result < 0)
        return stop(merged.message);
    error = FileIo::saveFile(joinPath(files.NomeDirSxNew, destinationName), merged.bytes);
    if (!error.isEmpty())
        return stop(error, true);
    Outcome o;
    o.result = merged.result;
    return o;
}

// Every step works on the text in memory, so the chain writes one file, the new firmware
// file: no intermediate file of this run can be met by another run or stand behind a link.
// The bank files are read once, before the first step, so a build running meanwhile cannot
// give the new file bank 1 of one build and bank 2 of another.
ChainOutcome runChain(const SxFiles &files, const Progress &progress)
{
    ChainOutcome chain;
    const auto stopChain = [&chain](const Outcome &step) {
        chain.message = step.message;
        chain.fileError = step.fileError;
        return chain;
    };
    if (files.NomeDirSxNew.isEmpty() || files.NomeFileSxNew.isEmpty()) {
        chain.message = kNoNewName;
        return chain;
    }
    chain.message = nameClash(files);
    if (!chain.message.isEmpty())
        return chain;
    // Files of these names left by an earlier version or a crashed run.
    const IntermediateFiles cleanup(files.NomeDirSxNew);

    report(progress.setValue, 0);
    const QString source = files.sourcePath();
    if (!QFileInfo(source).isFile())
        return stopChain(stop(kNoSource));
    std::array<QByteArray, BankCount> banks;
    for (int k = 1; k <= BankCount; ++k) {
        if (!files.banks[size_t(k - 1)])
            continue;
        const Outcome read = readBank(k, files, banks[size_t(k - 1)]);
        if (read.stopped())
            return stopChain(read);
    }
    QByteArray text;
    const QString error = FileIo::readFile(source, text, MaxFileBytes);
    if (!error.isEmpty())
        return stopChain(stop(error, true));

    for (int k = 1; k <= BankCount; ++k) {
        if (!files.banks[size_t(k - 1)]) {
            chain.bankResults[size_t(k - 1)] = 1;
            continue;
        }
        report(progress.setValue, 0);
        TextMerge merged =
            mergeText(text, k, bankRecords(bankFirstAddress(k), banks[size_t(k - 1)]), progress, files.NomeFileSx);
        chain.bankResults[size_t(k - 1)] = merged.result;
        if (merged.result < 0)
            return stopChain(stop(merged.message));
        if (merged.result == 0 && !files.allowMissingBank)
            return stopChain(stop(missingBankMessage(k, files.NomeFileSx)));
        text = std::move(merged.bytes);
    }
    const QString saved = FileIo::saveFile(files.newFilePath(), text);
    if (!saved.isEmpty()) {
        chain.bankResults[BankCount - 1] = -1;
        return stopChain(stop(saved, true));
    }
    chain.result = 1;
    chain.message.clear();
    return chain;
}

} // namespace SrecMerge
