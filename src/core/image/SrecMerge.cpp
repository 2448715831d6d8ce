#include "core/image/SrecMerge.h"

#include "core/app/AppState.h"
#include "core/app/FileIo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace SrecMerge {

namespace {

const QString kNoSource = QStringLiteral("File *.Sx Not Found,Abort Procedure");
const QString kNoNewName = QStringLiteral("File New *.Sx Not Found,Abort Procedure");
const QString kNoBinDir = QStringLiteral("Directory Bin Not Found,Abort Procedure");
const QString kBadLine = QStringLiteral("File New Sx Not Create,Abort Procedure");

const char kHexDigits[] = "0123456789ABCDEF";

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool readHex(const char *digits, int count, quint32 &value)
{
    value = 0;
    for (int i = 0; i < count; ++i) {
        const int v = hexValue(digits[i]);
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

// Replaces `to` by `from` in one step, so the target is either the old file or the whole new
// one. (QFile::rename refuses an existing target, and removing it first would leave nothing
// behind if the rename then failed.)
QString renameOver(const QString &from, const QString &to)
{
    std::error_code ec;
    std::filesystem::rename(QFileInfo(from).filesystemFilePath(), QFileInfo(to).filesystemFilePath(), ec);
    if (ec)
        return QStringLiteral("Cannot rename %1 to %2: %3")
            .arg(shown(from), shown(to), QString::fromLocal8Bit(ec.message().c_str()));
    return QString();
}

Outcome stop(const QString &message, bool fileError = false)
{
    Outcome o;
    o.message = message;
    o.fileError = fileError;
    return o;
}

// A bank that is not merged: its step hands the previous result on under the new name.
Outcome passThrough(const QString &source, const QString &destinationName, bool sourceIsFirmware,
                    const SxFiles &files)
{
    if (files.NomeDirSxNew.isEmpty() || destinationName.isEmpty())
        return stop(kNoNewName);
    if (!QFileInfo(source).isFile())
        return stop(kNoSource);
    const QString destination = joinPath(files.NomeDirSxNew, destinationName);
    QString error;
    if (sourceIsFirmware) {
        // Renaming would move the firmware out of its folder, and the chain deletes its
        // intermediate files at the end.
        QByteArray bytes;
        error = FileIo::readFile(source, bytes);
        if (error.isEmpty())
            error = FileIo::saveFile(destination, bytes);
    } else {
        error = renameOver(source, destination);
    }
    if (!error.isEmpty())
        return stop(error, true);
    Outcome o;
    o.result = 1;
    return o;
}

// Removes the intermediate files when the chain leaves, however it leaves.
class IntermediateFiles
{
public:
    explicit IntermediateFiles(const QString &dir) : m_dir(dir) {}
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
    f.NomeFileSxNew = QStringLiteral("New_") + firmwareName;
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
        const int h = hi < 128 ? hexValue(char(hi)) : -1;
        const int l = lo < 128 ? hexValue(char(lo)) : -1;
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
        std::memcpy(line, "S224", 4);
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

TextMerge mergeText(const QByteArray &source, int bank, const QByteArray &records, const Progress &progress)
{
    const quint32 first = bankFirstAddress(bank);
    const quint32 last = first + BankSize - 1;
    const char *p = source.constData();
    const char *const end = p + source.size();

    int lines = int(std::count(p, end, '\n'));
    if (p != end && end[-1] != '\n')
        ++lines;
    const int counter = RecordsPerBank + lines;
    report(progress.setMaximum, counter);

    TextMerge m;
    QByteArray &out = m.bytes;
    out.reserve(source.size() + lines + records.size());
    int position = 0;
    bool inserted = false;
    bool endRecord = false;
    while (p < end) {
        const char *nl = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        const char *next = nl ? nl + 1 : end;
        const char *e = nl ? nl : end;
        if (e > p && e[-1] == '\r')
            --e;
        const int length = int(e - p);
        report(progress.setValue, ++position);

        if (length == 0) {
            // Blank lines after the end record are harmless trailing text; before it they mean
            // a damaged file.
            if (!endRecord) {
                m.message = kBadLine;
                break;
            }
        } else if (length >= 2 && p[0] == 'S' && p[1] == '2') {
            quint32 address;
            if (length < 10 || !readHex(p + 4, 6, address)) {
                m.message = kBadLine;
                break;
            }
            if (address >= first && address <= last) {
                if (!inserted) {
                    out += records;
                    position += RecordsPerBank;
                    report(progress.setValue, position);
                    inserted = true;
                }
                p = next;
                continue;
            }
        } else if (length >= 2 && p[0] == 'S' && p[1] == '1') {
            quint32 address;
            if (length < 8 || !readHex(p + 4, 4, address)) {
                m.message = kBadLine;
                break;
            }
        } else if (length >= 2 && p[0] == 'S' && p[1] == '9') {
            endRecord = true;
            m.result = inserted ? 1 : 0;
        }
        out.append(p, length);
        out.append("\r\n", 2);
        p = next;
    }
    if (!m.message.isEmpty() || !endRecord)
        m.result = -1;
    report(progress.setValue, counter);
    return m;
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
    if (files.NomeDirBin.isEmpty() || !QFileInfo(files.NomeDirBin).isDir())
        return stop(kNoBinDir);
    const QString bankName = QStringLiteral("bank%1.bin").arg(bank);
    const QString bankPath = joinPath(files.NomeDirBin, bankName);
    if (!QFileInfo(bankPath).isFile())
        return stop(QStringLiteral("File %1 Not Found,Abort Procedure").arg(bankName));

    QFile bankFile(bankPath);
    if (!bankFile.open(QIODevice::ReadOnly))
        return stop(QStringLiteral("Cannot read %1: %2").arg(shown(bankPath), bankFile.errorString()), true);
    const QByteArray bankBytes = bankFile.read(BankSize);
    if (bankFile.error() != QFileDevice::NoError)
        return stop(QStringLiteral("Cannot read %1: %2").arg(shown(bankPath), bankFile.errorString()), true);
    // Records past the end of a short file would hold nothing defined.
    if (bankBytes.size() < BankSize)
        return stop(QStringLiteral("File %1 Holds %2 Bytes Instead Of %3,Abort Procedure")
                        .arg(bankName)
                        .arg(bankBytes.size())
                        .arg(BankSize));

    QByteArray sourceBytes;
    QString error = FileIo::readFile(source, sourceBytes);
    if (!error.isEmpty())
        return stop(error, true);

    const TextMerge merged = mergeText(sourceBytes, bank, bankRecords(bankFirstAddress(bank), bankBytes), progress);
    if (merged.result < 0) {
        if (!merged.message.isEmpty())
            return stop(merged.message);
        return stop(QStringLiteral("File %1 Has No S9 Record,Abort Procedure").arg(QFileInfo(source).fileName()));
    }
    error = FileIo::saveFile(joinPath(files.NomeDirSxNew, destinationName), merged.bytes);
    if (!error.isEmpty())
        return stop(error, true);
    Outcome o;
    o.result = merged.result;
    return o;
}

ChainOutcome runChain(const SxFiles &files, const Progress &progress)
{
    ChainOutcome chain;
    if (files.NomeDirSxNew.isEmpty() || files.NomeFileSxNew.isEmpty()) {
        chain.message = kNoNewName;
        return chain;
    }
    chain.message = nameClash(files);
    if (!chain.message.isEmpty())
        return chain;

    const IntermediateFiles cleanup(files.NomeDirSxNew);
    QString source = files.sourcePath();
    for (int k = 1; k <= BankCount; ++k) {
        const QString destination = k < BankCount ? intermediateName(k) : files.NomeFileSxNew;
        const Outcome step = files.banks[size_t(k - 1)] ? Merge_Bank(k, source, destination, files, progress)
                                                         : passThrough(source, destination, k == 1, files);
        chain.bankResults[size_t(k - 1)] = step.result;
        if (step.stopped()) {
            chain.message = step.message;
            chain.fileError = step.fileError;
            return chain;
        }
        source = joinPath(files.NomeDirSxNew, destination);
    }
    chain.result = 1;
    return chain;
}

} // namespace SrecMerge
