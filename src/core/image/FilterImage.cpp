#include "core/image/FilterImage.h"

#include "core/app/AppState.h"
#include "core/base/FileIo.h"
#include "core/config/CobIdChecks.h"

#include <QDir>
#include <QFileInfo>
#include <QtEndian>

namespace {

constexpr int TableBytes = FilterImage::Entries * 8;
constexpr int BlockOffset = 2 * TableBytes;
constexpr int ParFlags = BlockOffset + 0x170;
constexpr int CountOffsets[2] = {BlockOffset + 0x178, BlockOffset + 0x180};
constexpr int ChecksumOffset = BlockOffset + 0x7FC;
constexpr quint32 FlagPositive = 4;

quint32 u32(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

} // namespace

QString FilterImage::fileName()
{
    return QStringLiteral("bank_K60.bin");
}

QString FilterImage::load(const QString &binDir)
{
    *this = FilterImage();
    const QString path = joinPath(binDir, fileName());
    const QString shown = QDir::toNativeSeparators(path);
    if (FileIo::absent(path))
        return Catalog::messages().text(TextId::ImageMissing).arg(shown);
    QByteArray bytes;
    // Read a little more than an image so a larger file is told apart by its size.
    const QString error = FileIo::readFile(path, bytes, 1024 * 1024);
    if (!error.isEmpty())
        return error;
    return parse(bytes, shown);
}

QString FilterImage::parse(const QByteArray &bytes, const QString &shownName)
{
    *this = FilterImage();
    if (bytes.size() != FileSize)
        return Catalog::messages().text(TextId::ImageWrongSize).arg(shownName, QString::number(bytes.size()), QString::number(FileSize));
    quint32 sum = 0;
    for (int i = BlockOffset; i < ChecksumOffset; ++i)
        sum += quint8(bytes.at(i));
    const quint32 stored = u32(bytes, ChecksumOffset);
    if (sum != stored)
        return Catalog::messages().text(TextId::ImageBadChecksum).arg(shownName, QString::number(sum), QString::number(stored));
    FilterImage image;
    for (int t = 0; t < 2; ++t) {
        const quint32 count = u32(bytes, CountOffsets[t]);
        if (count > quint32(Entries))
            return Catalog::messages()
                .text(t == 0 ? TextId::ImageTable0TooLong : TextId::ImageTable1TooLong)
                .arg(shownName, QString::number(count), QString::number(Entries));
        std::vector<Entry> &table = image.m_tables[size_t(t)];
        table.resize(count);
        const int base = t * TableBytes;
        for (quint32 k = 0; k < count; ++k)
            table[k] = Entry{u32(bytes, base + int(8 * k)), u32(bytes, base + int(8 * k) + 4)};
    }
    image.m_positive = (u32(bytes, ParFlags) & FlagPositive) != 0;
    *this = std::move(image);
    return QString();
}

FilterImage::Route FilterImage::route(int from, quint32 id, bool extended) const
{
    const quint32 word = extended ? (id | Ext_Mark) : id;
    Route r;
    const Entry *first = nullptr;
    for (const Entry &e : entries(from)) {
        if (e.Orig != word)
            continue;
        if (!first)
            first = &e;
        ++r.listedIn;
    }
    if (m_positive) {
        r.passes = first != nullptr;
        if (first) {
            r.id = first->Mod & ~Ext_Mark;
            r.extended = (first->Mod & Ext_Mark) != 0;
        }
    } else {
        r.passes = first == nullptr;
        if (r.passes) {
            r.id = id;
            r.extended = extended;
        }
    }
    return r;
}

FilterImage::IdSpace FilterImage::idSpace(int from) const
{
    // The first row of each 11-bit identifier in one pass, as route() would find it.
    std::array<const Entry *, Max11Bit + 1> first{};
    for (const Entry &e : entries(from)) {
        if (e.Orig <= Max11Bit && !first[e.Orig])
            first[e.Orig] = &e;
    }
    IdSpace space;
    for (quint32 id = 0; id <= Max11Bit; ++id) {
        const Entry *e = first[id];
        if (m_positive)
            space[id] = !e ? Fate::Block : (e->Mod == id ? Fate::Pass : Fate::Remap);
        else
            space[id] = e ? Fate::Block : Fate::Pass;
    }
    return space;
}

QString FilterImage::frameText(quint32 id, bool extended, const Catalog &texts)
{
    return texts.text(extended ? TextId::FrameId29Bit : TextId::FrameId11Bit).arg(CobIdChecks::idText(id, extended));
}

QString FilterImage::routeText(int from, quint32 id, bool extended, const Route &route, const Catalog &texts)
{
    const QString direction = texts.text(from == FromCan1 ? 511 : 510);
    if (!route.passes)
        return texts.text(TextId::FrameBlocked).arg(direction, frameText(id, extended, texts));
    return texts.text(TextId::FramePasses).arg(direction, frameText(id, extended, texts), QString::number(from == FromCan1 ? 0 : 1),
                               frameText(route.id, route.extended, texts));
}

QString FilterImage::ruleText(bool positive, bool listed, const Catalog &texts)
{
    return texts.text(positive ? (listed ? TextId::RuleListedPositive : TextId::RuleUnlistedPositive) : (listed ? TextId::RuleListedNegative : TextId::RuleUnlistedNegative));
}

QString FilterImage::reasonText(const Route &route, const Catalog &texts) const
{
    return ruleText(m_positive, route.listedIn > 0, texts);
}
