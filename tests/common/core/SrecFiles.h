#pragma once

#include "TestPaths.h"
#include "core/image/SrecMerge.h"

#include <QBitArray>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

// Firmware files and projects for the merge into firmware, used by its tests in the core and by
// those of the firmware command.
namespace SrecFiles {

using SrecMerge::BankCount;
using SrecMerge::BankSize;

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray fixture(const char *name)
{
    return readAll(TestPaths::data(QStringLiteral("srec/") + QLatin1String(name)));
}

inline QList<QByteArray> crlfLines(const QByteArray &text)
{
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &l : lines) {
        if (!l.endsWith('\r'))
            return {}; // a line without CR LF: not what the merge writes
        l.chop(1);
    }
    return lines;
}

// Data bytes of every valid data record whose bytes fall in [first, first + size). `ok` turns
// false on a bad checksum or on a byte given twice; `complete` tells whether every byte came.
inline QByteArray decodeRange(const QByteArray &text, quint32 first, int size, bool *ok, bool *complete)
{
    QByteArray image(size, '\0');
    QBitArray seen(size);
    *ok = true;
    for (const QByteArray &line : crlfLines(text)) {
        if (line.size() < 4 || line[0] != 'S' || (line[1] != '1' && line[1] != '2' && line[1] != '3'))
            continue;
        const QByteArray bytes = QByteArray::fromHex(line.mid(2));
        unsigned sum = 0;
        for (char b : bytes)
            sum += quint8(b);
        if ((sum & 0xFF) != 0xFF || quint8(bytes[0]) != bytes.size() - 1) {
            *ok = false;
            continue;
        }
        const int alen = line[1] - '1' + 2;
        quint32 address = 0;
        for (int i = 1; i <= alen; ++i)
            address = (address << 8) | quint8(bytes[i]);
        for (int i = alen + 1; i < bytes.size() - 1; ++i, ++address) {
            if (address < first || address >= first + quint32(size))
                continue;
            const int at = int(address - first);
            if (seen.testBit(at))
                *ok = false;
            seen.setBit(at);
            image[at] = bytes[i];
        }
    }
    *complete = seen.count(true) == size;
    return image;
}

inline QByteArray randomBank(quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray bank(BankSize, Qt::Uninitialized);
    for (char &c : bank)
        c = char(gen.bounded(256));
    return bank;
}

// A workspace with the firmware in MASTER and a project whose bin folder holds five banks.
struct Workspace
{
    QTemporaryDir tmp;
    QString master;
    QString project;
    QByteArray banks[BankCount];
    SrecMerge::SxFiles files;

    explicit Workspace(const QByteArray &firmware)
    {
        master = tmp.filePath(QStringLiteral("MASTER"));
        project = tmp.filePath(QStringLiteral("PROJECTS/Demo Project"));
        QDir().mkpath(master);
        QDir().mkpath(project + QStringLiteral("/bin"));
        writeFile(master + QStringLiteral("/FX58104.sx"), firmware);
        for (int k = 1; k <= BankCount; ++k) {
            banks[k - 1] = randomBank(quint32(k));
            writeFile(bankPath(k), banks[k - 1]);
        }
        files = SrecMerge::filesFor(project, master, QStringLiteral("FX58104.sx"));
    }
    QString bankPath(int k) const { return project + QStringLiteral("/bin/bank%1.bin").arg(k); }
    QString newFile() const { return project + QStringLiteral("/New_FX58104.sx"); }
    QString firmware() const { return master + QStringLiteral("/FX58104.sx"); }
    QStringList leftovers() const
    {
        QStringList found = QDir(project).entryList({QStringLiteral("B?.sx")}, QDir::Files);
        found += QDir(project + QStringLiteral("/bin")).entryList({QStringLiteral("*.sx")}, QDir::Files);
        return found;
    }
};

} // namespace SrecFiles
