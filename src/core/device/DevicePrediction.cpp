#include "core/device/DevicePrediction.h"

#include "core/app/AppState.h"
#include "core/base/FileIo.h"
#include "core/config/CobIdChecks.h"
#include "core/config/SelectType.h"
#include "core/image/BankBuilder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <iterator>

namespace {

constexpr quint32 Max11Bit = FilterImage::Max11Bit;
constexpr quint32 Max29Bit = FilterImage::Max29Bit;
constexpr int SettingType0 = BankBuilder::SettingsOffset + 2;
constexpr int SettingPositive = BankBuilder::SettingsOffset + 3;
constexpr int SettingType1 = BankBuilder::SettingsOffset + 5;
constexpr int ImageBlock = 2 * FilterImage::Entries * 8;
constexpr int kBitRates[] = {10000, 20000, 50000, 100000, 125000, 250000, 500000, 800000, 1000000};
constexpr quint16 NoCount = 0xFFFF; // a build without a filter document leaves the counts unwritten

quint32 u32(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

quint16 u16(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

QString directionTitle(int from, const Catalog &texts)
{
    return texts.text(from == FilterImage::FromCan1 ? 511 : 510);
}

QString typeText(int type, const Catalog &texts)
{
    return texts.text(type ? 830 : 852);
}

QString fingerprintOf(const QByteArray &bytes)
{
    return QStringLiteral("SHA-256 ")
        + QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(16));
}

QString readOne(const QString &path, QByteArray &bytes)
{
    if (!QFileInfo::exists(path))
        return Catalog::messages().text(51).arg(QDir::toNativeSeparators(path));
    // A little more than the expected size, so a larger file is told apart by its size.
    return FileIo::readFile(path, bytes, 1024 * 1024);
}

} // namespace

QString DevicePrediction::load(const QString &projectDir)
{
    *this = DevicePrediction();
    QString error;
    const int type = Select_Type(joinPath(projectDir, QStringLiteral("ParGen.xml")), &error);
    if (!error.isEmpty())
        return error;
    const QString binDir = joinPath(projectDir, QStringLiteral("bin"));
    const QString binName = QFileInfo(binDir).fileName();
    if (type == 1) {
        const QString path = joinPath(binDir, FilterImage::fileName());
        QByteArray bytes;
        error = readOne(path, bytes);
        if (error.isEmpty())
            error = parseImage(bytes, QDir::toNativeSeparators(path));
        if (!error.isEmpty())
            return error;
        m_sourceNames = QStringList{QDir::toNativeSeparators(joinPath(binName, FilterImage::fileName()))};
        m_files = QStringList{path};
        return QString();
    }
    const QString paths[2] = {joinPath(binDir, QStringLiteral("bank1.bin")), joinPath(binDir, QStringLiteral("bank2.bin"))};
    QByteArray banks[2];
    for (int k = 0; k < 2; ++k) {
        error = readOne(paths[k], banks[k]);
        if (!error.isEmpty())
            return error;
    }
    error = parseBanks(banks[0], banks[1], type, QDir::toNativeSeparators(paths[0]), QDir::toNativeSeparators(paths[1]));
    if (!error.isEmpty())
        return error;
    m_sourceNames = QStringList{QDir::toNativeSeparators(joinPath(binName, QStringLiteral("bank1.bin"))),
                                QDir::toNativeSeparators(joinPath(binName, QStringLiteral("bank2.bin")))};
    m_files = QStringList{paths[0], paths[1]};
    return QString();
}

QString DevicePrediction::parseImage(const QByteArray &bytes, const QString &shownName)
{
    *this = DevicePrediction();
    FilterImage image;
    const QString error = image.parse(bytes, shownName);
    if (!error.isEmpty())
        return error;
    DevicePrediction p;
    p.m_layout = Layout::Image;
    p.m_deviceType = 1;
    p.m_positive = image.positive();
    for (int d = 0; d < 2; ++d) {
        std::vector<Entry> &sorted = p.m_directions[size_t(d)].sorted;
        int order = 0;
        for (const FilterImage::Entry &e : image.entries(d))
            sorted.push_back(Entry{e.Orig, e.Mod, order++});
        std::sort(sorted.begin(), sorted.end(), [](const Entry &a, const Entry &b) {
            return a.key != b.key ? a.key < b.key : a.order < b.order;
        });
        if (!p.m_positive)
            continue;
        for (size_t i = 1; i < sorted.size(); ++i) {
            if (sorted[i].key == sorted[i - 1].key) {
                const quint32 key = sorted[i].key;
                p.m_assumptions.push_back([shownName, key, d](const Catalog &texts) {
                    return texts.text(848).arg(shownName,
                                               FilterImage::frameText(key & ~FilterImage::Ext_Mark, key & FilterImage::Ext_Mark, texts),
                                               directionTitle(d, texts));
                });
                break;
            }
        }
    }
    // Parameter block: CAN 1's rate first; Par_Flags bit 0 is CAN 1's DIP switch, bit 1 CAN 0's.
    p.m_bitRates = {int(u32(bytes, ImageBlock + 4)), int(u32(bytes, ImageBlock))};
    const quint32 flags = u32(bytes, ImageBlock + 0x170);
    p.m_dip = {(flags & 2) != 0, (flags & 1) != 0};
    p.answerAhead();
    p.m_sourceNames = QStringList{shownName};
    p.m_fingerprint = fingerprintOf(bytes);
    *this = std::move(p);
    return QString();
}

QString DevicePrediction::parseBanks(const QByteArray &bank1, const QByteArray &bank2, int deviceType,
                                     const QString &shownName1, const QString &shownName2)
{
    *this = DevicePrediction();
    const QByteArray *banks[2] = {&bank1, &bank2};
    const QString names[2] = {shownName1, shownName2};
    for (int k = 0; k < 2; ++k) {
        if (banks[k]->size() != BankBuilder::BankSize)
            return Catalog::messages().text(56).arg(names[k], QString::number(banks[k]->size()), QString::number(BankBuilder::BankSize));
    }
    DevicePrediction p;
    p.m_deviceType = deviceType;
    const quint8 type0 = quint8(bank1.at(SettingType0));
    const quint8 type1 = quint8(bank1.at(SettingType1));
    p.m_positive = bank1.at(SettingPositive) != 0;
    p.m_portTypes = {type0 != 0 ? 1 : 0, type1 != 0 ? 1 : 0};
    const bool list = type0 != 0 || type1 != 0;
    p.m_layout = list ? Layout::BankList : Layout::BankMap;

    if (!list) {
        p.m_assumptions.push_back([](const Catalog &texts) { return texts.text(849); });
        for (int d = 0; d < 2; ++d) {
            const QByteArray &bank = *banks[d];
            Direction &dir = p.m_directions[size_t(d)];
            for (int b = 0; b < BankBuilder::PassMapSize; ++b)
                dir.passMap[size_t(b)] = quint8(bank.at(BankBuilder::PassMapOffset + b));
            bool wideNoted = false;
            for (int i = 0; i < BankBuilder::MapIds; ++i) {
                const quint16 orig = u16(bank, i * BankBuilder::MapEntrySize);
                const quint16 mod = u16(bank, i * BankBuilder::MapEntrySize + 2);
                if (orig == 0xFFFF) {
                    dir.mapMod[size_t(i)] = -1;
                    continue;
                }
                if (orig != i)
                    return Catalog::messages().text(57).arg(names[d], CobIdChecks::idText(quint32(i), false), CobIdChecks::idText(orig, false));
                dir.mapMod[size_t(i)] = mod;
                dir.sorted.push_back(Entry{quint32(i), mod, i});
                const bool passes = (dir.passMap[size_t(i / 8)] >> (i % 8)) & 1;
                if (p.m_positive && passes && mod > Max11Bit && !wideNoted) {
                    wideNoted = true;
                    const QStringList args{names[d], CobIdChecks::idText(quint32(i), false), CobIdChecks::idText(mod, true),
                                           CobIdChecks::idText(mod & Max11Bit, false)};
                    p.m_assumptions.push_back([args](const Catalog &texts) {
                        return texts.text(850).arg(args[0], args[1], args[2], args[3]);
                    });
                }
            }
        }
    } else {
        const std::array<int, 2> types = p.m_portTypes;
        p.m_assumptions.push_back([types](const Catalog &texts) {
            return texts.text(851).arg(typeText(types[0], texts), typeText(types[1], texts));
        });
        const int countOffsets[2] = {BankBuilder::ListCountOffset0, BankBuilder::ListCountOffset1};
        for (int d = 0; d < 2; ++d) {
            const quint16 stored = u16(bank1, countOffsets[d]);
            const int count = stored == NoCount ? 0 : stored;
            if (count > BankBuilder::MaxListEntries)
                return Catalog::messages()
                    .text(d == 0 ? 58 : 59)
                    .arg(shownName1, QString::number(count), QString::number(BankBuilder::MaxListEntries));
            const QByteArray &bank = *banks[d];
            std::vector<Entry> &sorted = p.m_directions[size_t(d)].sorted;
            for (int i = 0; i < count; ++i)
                sorted.push_back(Entry{u32(bank, i * BankBuilder::ListEntrySize), u32(bank, i * BankBuilder::ListEntrySize + 4), i});
            std::sort(sorted.begin(), sorted.end(), [](const Entry &a, const Entry &b) {
                return a.key != b.key ? a.key < b.key : a.order < b.order;
            });
            const int target = p.m_portTypes[size_t(1 - d)];
            const quint32 targetMax = target ? Max29Bit : Max11Bit;
            bool duplicateNoted = false;
            bool wideNoted = false;
            for (size_t i = 0; i < sorted.size(); ++i) {
                if (!duplicateNoted && i > 0 && sorted[i].key == sorted[i - 1].key && p.m_positive) {
                    duplicateNoted = true;
                    const QStringList args{names[d], CobIdChecks::idText(sorted[i].key, sorted[i].key > Max11Bit)};
                    p.m_assumptions.push_back([args](const Catalog &texts) { return texts.text(853).arg(args[0], args[1]); });
                }
                if (!wideNoted && p.m_positive && sorted[i].mod > targetMax) {
                    wideNoted = true;
                    const QStringList args{names[d], CobIdChecks::idText(sorted[i].key, sorted[i].key > Max11Bit),
                                           CobIdChecks::idText(sorted[i].mod, true), QString::number(1 - d),
                                           CobIdChecks::idText(sorted[i].mod & targetMax, target != 0)};
                    p.m_assumptions.push_back([args, target](const Catalog &texts) {
                        return texts.text(854).arg(args[0], args[1], args[2], args[3], typeText(target, texts), args[4]);
                    });
                }
            }
        }
    }
    // Settings: bit-rate index + 1 per port; DIP bit 0 is CAN 0, bit 1 CAN 1.
    for (int port = 0; port < 2; ++port) {
        const int code = quint8(bank1.at(BankBuilder::SettingsOffset + port));
        p.m_bitRates[size_t(port)] = code >= 1 && code <= int(std::size(kBitRates)) ? kBitRates[code - 1] : 0;
    }
    const quint8 dip = quint8(bank1.at(BankBuilder::SettingsOffset + 4));
    p.m_dip = {(dip & 1) != 0, (dip & 2) != 0};
    p.answerAhead();
    p.m_sourceNames = QStringList{shownName1, shownName2};
    p.m_fingerprint = fingerprintOf(bank1 + bank2);
    *this = std::move(p);
    return QString();
}

void DevicePrediction::answerAhead()
{
    for (int d = 0; d < 2; ++d) {
        for (quint32 id = 0; id <= Max11Bit; ++id)
            m_directions[size_t(d)].std11[id] = lookup(d, id, false);
    }
}

FilterImage::Route DevicePrediction::lookup(int from, quint32 id, bool extended) const
{
    const int d = from == FilterImage::FromCan1 ? 1 : 0;
    const Direction &dir = m_directions[size_t(d)];
    FilterImage::Route r;
    switch (m_layout) {
    case Layout::None:
        return r;
    case Layout::BankMap: {
        if (extended || id > Max11Bit)
            return r;
        const qint32 mod = dir.mapMod[id];
        r.listedIn = mod >= 0 ? 1 : 0;
        r.passes = (dir.passMap[id / 8] >> (id % 8)) & 1;
        if (r.passes)
            r.id = m_positive && mod >= 0 ? quint32(mod) & Max11Bit : id;
        return r;
    }
    case Layout::Image:
    case Layout::BankList:
        break;
    }
    const bool image = m_layout == Layout::Image;
    const quint32 key = image && extended ? (id | FilterImage::Ext_Mark) : id;
    const auto range = std::equal_range(dir.sorted.begin(), dir.sorted.end(), Entry{key, 0, 0},
                                        [](const Entry &a, const Entry &b) { return a.key < b.key; });
    r.listedIn = int(range.second - range.first);
    const bool listed = r.listedIn > 0;
    r.passes = m_positive ? listed : !listed;
    if (!r.passes)
        return r;
    if (image) {
        if (m_positive) {
            r.id = range.first->mod & ~FilterImage::Ext_Mark;
            r.extended = (range.first->mod & FilterImage::Ext_Mark) != 0;
        } else {
            r.id = id;
            r.extended = extended;
        }
        return r;
    }
    r.extended = m_portTypes[size_t(1 - d)] != 0;
    const quint32 out = m_positive ? (range.second - 1)->mod : id;
    r.id = out & (r.extended ? Max29Bit : Max11Bit);
    return r;
}

QString DevicePrediction::reasonText(int from, quint32 id, bool extended, const FilterImage::Route &route,
                                     const Catalog &texts) const
{
    Q_UNUSED(from)
    Q_UNUSED(id)
    if (m_layout == Layout::BankMap && extended)
        return texts.text(845);
    return FilterImage::ruleText(m_positive, route.listedIn > 0, texts);
}

QString DevicePrediction::source(const Catalog &texts) const
{
    if (m_sourceNames.isEmpty())
        return QString();
    if (m_sourceNames.size() == 1)
        return texts.text(846).arg(m_sourceNames[0]);
    return texts.text(847).arg(m_sourceNames[0], m_sourceNames[1]);
}

QStringList DevicePrediction::assumptions(const Catalog &texts) const
{
    QStringList out;
    for (const auto &make : m_assumptions)
        out << make(texts);
    return out;
}

FilterImage::IdSpace DevicePrediction::idSpace(int from) const
{
    FilterImage::IdSpace space;
    for (quint32 id = 0; id <= Max11Bit; ++id) {
        const FilterImage::Route r = route(from, id, false);
        space[id] = !r.passes ? FilterImage::Fate::Block
                              : (r.id == id && !r.extended ? FilterImage::Fate::Pass : FilterImage::Fate::Remap);
    }
    return space;
}
