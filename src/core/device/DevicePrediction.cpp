#include "core/device/DevicePrediction.h"

#include "core/app/AppState.h"
#include "core/base/FileIo.h"
#include "core/base/XmlFile.h"
#include "core/config/CobIdChecks.h"
#include "core/config/CobIdDocument.h"
#include "core/config/ParGen.h"
#include "core/config/SelectType.h"
#include "core/device/BankDecoder.h"
#include "core/device/ImageDecoder.h"
#include "core/image/BankBuilder.h"
#include "core/image/ConfigBuilder.h"
#include "core/image/FilterDocument.h"
#include "core/image/ImageBuilder.h"
#include "core/image/XmlSource.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <iterator>

namespace {

using DeviceFacts::Max11Bit;
using DeviceFacts::Max29Bit;

QString typeText(int type, const Catalog &texts)
{
    return texts.text(type ? TextId::Type29Bit : TextId::Type11Bit);
}

QString fingerprintOf(const QByteArray &bytes)
{
    return QStringLiteral("SHA-256 ")
        + QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(16));
}

QString readOne(const QString &path, QByteArray &bytes)
{
    if (!QFileInfo::exists(path))
        return Catalog::messages().text(TextId::ImageMissing).arg(QDir::toNativeSeparators(path));
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
    const QString paths[2] = {joinPath(binDir, QStringLiteral("bank1.bin")),
                              joinPath(binDir, QStringLiteral("bank2.bin"))};
    QByteArray banks[2];
    for (int k = 0; k < 2; ++k) {
        error = readOne(paths[k], banks[k]);
        if (!error.isEmpty())
            return error;
    }
    error =
        parseBanks(banks[0], banks[1], type, QDir::toNativeSeparators(paths[0]), QDir::toNativeSeparators(paths[1]));
    if (!error.isEmpty())
        return error;
    m_sourceNames = QStringList{QDir::toNativeSeparators(joinPath(binName, QStringLiteral("bank1.bin"))),
                                QDir::toNativeSeparators(joinPath(binName, QStringLiteral("bank2.bin")))};
    m_files = QStringList{paths[0], paths[1]};
    return QString();
}

QString DevicePrediction::tablesImage(const XmlSource &parGen, const CobIdDocument &tables, FilterImage &image)
{
    image = FilterImage();
    QByteArray bytes;
    QString error = tables.toBytes(bytes);
    if (!error.isEmpty())
        return error;
    const QString name = QStringLiteral("CanCanCobID.xml");
    ImageBuilder builder;
    error = builder.Build_Image(parGen, FilterDocument::fromBytes(bytes, name));
    if (!error.isEmpty())
        return error;
    return image.parse(builder.image(), name);
}

QString DevicePrediction::loadTables(const XmlSource &parGen, const CobIdDocument &tables)
{
    *this = DevicePrediction();
    QByteArray bytes;
    QString error = tables.toBytes(bytes);
    if (!error.isEmpty())
        return error;
    if (!parGen.error.isEmpty())
        return parGen.error;
    // Step 4's reading: no file is the Ethernet variant, a missing or unreadable type is 0.
    const int type = parGen.exists ? ParGen::mainWindowDeviceType(XmlFile::firstTopLevelNode(parGen.doc)) : 1;
    const FilterDocument cobId = FilterDocument::fromBytes(bytes, QStringLiteral("CanCanCobID.xml"));
    if (type == 1) {
        // The Ethernet variant never sees the banks, so a document they refuse does not matter here.
        ImageBuilder image;
        error = image.Build_Image(parGen, cobId);
        return error.isEmpty() ? parseImage(image.image(), FilterImage::fileName()) : error;
    }
    ConfigBuilder builder;
    error = builder.Build_Config(parGen, cobId);
    if (!error.isEmpty())
        return error;
    return parseBanks(builder.banks().bank(1), builder.banks().bank(2), type, QStringLiteral("bank1.bin"),
                      QStringLiteral("bank2.bin"));
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
    for (const Direction d : Direction::all()) {
        std::vector<Entry> &sorted = p.m_lookups[size_t(d.index())].sorted;
        int order = 0;
        for (const FilterImage::Entry &e : image.entries(d))
            sorted.push_back(Entry{e.Orig, e.Mod, order++});
        std::sort(sorted.begin(), sorted.end(),
                  [](const Entry &a, const Entry &b) { return a.key != b.key ? a.key < b.key : a.order < b.order; });
        if (!p.m_positive)
            continue;
        for (size_t i = 1; i < sorted.size(); ++i) {
            if (sorted[i].key == sorted[i - 1].key) {
                const quint32 key = sorted[i].key;
                p.m_assumptions.emplace_back([shownName, key, d](const Catalog &texts) {
                    return texts.text(TextId::AssumeFirstOfRows)
                        .arg(shownName,
                             FilterImage::frameText(key & ~DeviceFacts::ExtMark, key & DeviceFacts::ExtMark, texts),
                             texts.text(d.titleText()));
                });
                break;
            }
        }
    }
    const ImageDecoder decoder(bytes);
    p.m_bitRates = {int(decoder.bitRate(0)), int(decoder.bitRate(1))};
    p.m_dip = {decoder.bitRateFromDip(0), decoder.bitRateFromDip(1)};
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
        if (banks[k]->size() != DeviceFacts::BankSize)
            return Catalog::messages()
                .text(TextId::BankWrongSize)
                .arg(names[k], QString::number(banks[k]->size()), QString::number(DeviceFacts::BankSize));
    }
    DevicePrediction p;
    p.m_deviceType = deviceType;
    const BankDecoder first(bank1);
    const BankDecoder::Settings settings = first.settings();
    p.m_positive = settings.positive != 0;
    p.m_portTypes = {settings.type[0] != 0 ? 1 : 0, settings.type[1] != 0 ? 1 : 0};
    const bool list = settings.usesList();
    p.m_layout = list ? Layout::BankList : Layout::BankMap;

    if (!list) {
        p.m_assumptions.emplace_back([](const Catalog &texts) { return texts.text(TextId::AssumeDirectMap); });
        for (const Direction d : Direction::all()) {
            const BankDecoder bank(*banks[d.index()]);
            Lookup &dir = p.m_lookups[size_t(d.index())];
            for (int b = 0; b < BankBuilder::PassMapSize; ++b)
                dir.passMap[size_t(b)] = bank.passMapByte(b);
            bool wideNoted = false;
            for (int i = 0; i < BankBuilder::MapIds; ++i) {
                const quint16 orig = bank.mapOrig(i);
                const quint16 mod = bank.mapMod(i);
                if (orig == 0xFFFF) {
                    dir.mapMod[size_t(i)] = -1;
                    continue;
                }
                if (orig != i)
                    return Catalog::messages()
                        .text(TextId::BankBadMapEntry)
                        .arg(names[d.index()], CobIdChecks::idText(quint32(i), false),
                             CobIdChecks::idText(orig, false));
                dir.mapMod[size_t(i)] = mod;
                dir.sorted.push_back(Entry{quint32(i), mod, i});
                const bool passes = (dir.passMap[size_t(i / 8)] >> (i % 8)) & 1;
                if (p.m_positive && passes && mod > Max11Bit && !wideNoted) {
                    wideNoted = true;
                    const QStringList args{names[d.index()], CobIdChecks::idText(quint32(i), false),
                                           CobIdChecks::idText(mod, true), CobIdChecks::idText(mod & Max11Bit, false)};
                    p.m_assumptions.emplace_back([args](const Catalog &texts) {
                        return texts.text(TextId::AssumeReplacementBeyond11Bit).arg(args[0], args[1], args[2], args[3]);
                    });
                }
            }
        }
    } else {
        const std::array<int, 2> types = p.m_portTypes;
        p.m_assumptions.emplace_back([types](const Catalog &texts) {
            return texts.text(TextId::AssumeNoMarks).arg(typeText(types[0], texts), typeText(types[1], texts));
        });
        for (const Direction d : Direction::all()) {
            const quint16 stored = first.listCount(d);
            const int count = stored == BankDecoder::NoCount ? 0 : stored;
            if (count > BankBuilder::MaxListEntries)
                return Catalog::messages()
                    .text(d == Direction::Can0ToCan1 ? TextId::BankList0TooLong : TextId::BankList1TooLong)
                    .arg(shownName1, QString::number(count), QString::number(BankBuilder::MaxListEntries));
            const BankDecoder bank(*banks[d.index()]);
            std::vector<Entry> &sorted = p.m_lookups[size_t(d.index())].sorted;
            for (int i = 0; i < count; ++i) {
                const BankDecoder::ListEntry e = bank.listEntry(i);
                sorted.push_back(Entry{e.orig, e.mod, i});
            }
            std::sort(sorted.begin(), sorted.end(), [](const Entry &a, const Entry &b) {
                return a.key != b.key ? a.key < b.key : a.order < b.order;
            });
            const int target = p.m_portTypes[size_t(d.toPort())];
            const quint32 targetMax = target ? Max29Bit : Max11Bit;
            bool duplicateNoted = false;
            bool wideNoted = false;
            for (size_t i = 0; i < sorted.size(); ++i) {
                if (!duplicateNoted && i > 0 && sorted[i].key == sorted[i - 1].key && p.m_positive) {
                    duplicateNoted = true;
                    const QStringList args{names[d.index()],
                                           CobIdChecks::idText(sorted[i].key, sorted[i].key > Max11Bit)};
                    p.m_assumptions.emplace_back([args](const Catalog &texts) {
                        return texts.text(TextId::AssumeLastOfRows).arg(args[0], args[1]);
                    });
                }
                if (!wideNoted && p.m_positive && sorted[i].mod > targetMax) {
                    wideNoted = true;
                    const QStringList args{names[d.index()],
                                           CobIdChecks::idText(sorted[i].key, sorted[i].key > Max11Bit),
                                           CobIdChecks::idText(sorted[i].mod, true), QString::number(d.toPort()),
                                           CobIdChecks::idText(sorted[i].mod & targetMax, target != 0)};
                    p.m_assumptions.emplace_back([args, target](const Catalog &texts) {
                        return texts.text(TextId::AssumeReplacementTooWide)
                            .arg(args[0], args[1], args[2], args[3], typeText(target, texts), args[4]);
                    });
                }
            }
        }
    }
    // Settings: bit-rate index + 1 per port; DIP bit 0 is CAN 0, bit 1 CAN 1.
    for (int port = 0; port < 2; ++port) {
        const int code = settings.rate[port];
        p.m_bitRates[size_t(port)] =
            DeviceFacts::validBitRateIndex(code - 1) ? int(DeviceFacts::BitRates[size_t(code - 1)]) : 0;
    }
    p.m_dip = {(settings.dip & 1) != 0, (settings.dip & 2) != 0};
    p.answerAhead();
    p.m_sourceNames = QStringList{shownName1, shownName2};
    p.m_fingerprint = fingerprintOf(bank1 + bank2);
    *this = std::move(p);
    return QString();
}

void DevicePrediction::answerAhead()
{
    for (const Direction d : Direction::all()) {
        for (quint32 id = 0; id <= Max11Bit; ++id)
            m_lookups[size_t(d.index())].std11[id] = lookup(d, id, false);
    }
}

FilterImage::Route DevicePrediction::lookup(Direction direction, quint32 id, bool extended) const
{
    const Lookup &dir = m_lookups[size_t(direction.index())];
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
    const quint32 key = image && extended ? (id | DeviceFacts::ExtMark) : id;
    const auto range = std::equal_range(dir.sorted.begin(), dir.sorted.end(), Entry{key, 0, 0},
                                        [](const Entry &a, const Entry &b) { return a.key < b.key; });
    r.listedIn = int(range.second - range.first);
    const bool listed = r.listedIn > 0;
    r.passes = m_positive ? listed : !listed;
    if (!r.passes)
        return r;
    if (image) {
        if (m_positive) {
            r.id = range.first->mod & ~DeviceFacts::ExtMark;
            r.extended = (range.first->mod & DeviceFacts::ExtMark) != 0;
        } else {
            r.id = id;
            r.extended = extended;
        }
        return r;
    }
    r.extended = m_portTypes[size_t(direction.toPort())] != 0;
    const quint32 out = m_positive ? (range.second - 1)->mod : id;
    r.id = out & (r.extended ? Max29Bit : Max11Bit);
    return r;
}

QString DevicePrediction::reasonText(Direction direction, quint32 id, bool extended, const FilterImage::Route &route,
                                     const Catalog &texts) const
{
    Q_UNUSED(direction)
    Q_UNUSED(id)
    if (m_layout == Layout::BankMap && extended)
        return texts.text(TextId::Rule29BitDirectMap);
    return FilterImage::ruleText(m_positive, route.listedIn > 0, texts);
}

QString DevicePrediction::source(const Catalog &texts) const
{
    if (m_sourceNames.isEmpty())
        return QString();
    if (m_sourceNames.size() == 1)
        return texts.text(TextId::SourceImage).arg(m_sourceNames[0]);
    return texts.text(TextId::SourceBanks).arg(m_sourceNames[0], m_sourceNames[1]);
}

QStringList DevicePrediction::assumptions(const Catalog &texts) const
{
    QStringList out;
    for (const auto &make : m_assumptions)
        out << make(texts);
    return out;
}

FilterImage::IdSpace DevicePrediction::idSpace(Direction direction) const
{
    FilterImage::IdSpace space;
    for (quint32 id = 0; id <= Max11Bit; ++id) {
        const FilterImage::Route r = route(direction, id, false);
        space[id] = !r.passes ? FilterImage::Fate::Block
                              : (r.id == id && !r.extended ? FilterImage::Fate::Pass : FilterImage::Fate::Remap);
    }
    return space;
}
