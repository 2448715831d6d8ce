#include "core/device/FilterImage.h"

#include "core/device/facts/DeviceFacts.h"

#include "core/app/AppState.h"
#include "core/base/FileIo.h"
#include "core/config/CobIdChecks.h"

#include <QDir>
#include <QFileInfo>

QString FilterImage::fileName()
{
    return QString::fromLatin1(DeviceFacts::ImageFileName);
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
    if (bytes.size() != DeviceFacts::ImageSize)
        return Catalog::messages()
            .text(TextId::ImageWrongSize)
            .arg(shownName, QString::number(bytes.size()), QString::number(DeviceFacts::ImageSize));
    const ImageDecoder decoder(bytes);
    const quint32 sum = decoder.computedChecksum();
    const quint32 stored = decoder.storedChecksum();
    if (sum != stored)
        return Catalog::messages()
            .text(TextId::ImageBadChecksum)
            .arg(shownName, QString::number(sum), QString::number(stored));
    FilterImage image;
    for (const Direction d : Direction::all()) {
        const quint32 count = decoder.count(d);
        if (count > quint32(DeviceFacts::TableRows))
            return Catalog::messages()
                .text(d == Direction::Can0ToCan1 ? TextId::ImageTable0TooLong : TextId::ImageTable1TooLong)
                .arg(shownName, QString::number(count), QString::number(DeviceFacts::TableRows));
        image.m_tables[size_t(d.index())] = decoder.rows(d);
    }
    image.m_positive = decoder.positive();
    *this = std::move(image);
    return QString();
}

FilterImage::Route FilterImage::route(Direction direction, quint32 id, bool extended) const
{
    const quint32 word = extended ? (id | DeviceFacts::ExtMark) : id;
    Route r;
    const Entry *first = nullptr;
    for (const Entry &e : entries(direction)) {
        if (e.Orig != word)
            continue;
        if (!first)
            first = &e;
        ++r.listedIn;
    }
    if (m_positive) {
        r.passes = first != nullptr;
        if (first) {
            r.id = first->Mod & ~DeviceFacts::ExtMark;
            r.extended = (first->Mod & DeviceFacts::ExtMark) != 0;
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

FilterImage::IdSpace FilterImage::idSpace(Direction direction) const
{
    // The first row of each 11-bit identifier in one pass, as route() would find it.
    std::array<const Entry *, DeviceFacts::Max11Bit + 1> first{};
    for (const Entry &e : entries(direction)) {
        if (e.Orig <= DeviceFacts::Max11Bit && !first[e.Orig])
            first[e.Orig] = &e;
    }
    IdSpace space;
    for (quint32 id = 0; id <= DeviceFacts::Max11Bit; ++id) {
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

QString FilterImage::routeText(Direction direction, quint32 id, bool extended, const Route &route, const Catalog &texts)
{
    const QString title = texts.text(direction.titleText());
    if (!route.passes)
        return texts.text(TextId::FrameBlocked).arg(title, frameText(id, extended, texts));
    return texts.text(TextId::FramePasses)
        .arg(title, frameText(id, extended, texts), QString::number(direction.toPort()),
             frameText(route.id, route.extended, texts));
}

QString FilterImage::ruleText(bool positive, bool listed, const Catalog &texts)
{
    return texts.text(positive ? (listed ? TextId::RuleListedPositive : TextId::RuleUnlistedPositive)
                               : (listed ? TextId::RuleListedNegative : TextId::RuleUnlistedNegative));
}

QString FilterImage::reasonText(const Route &route, const Catalog &texts) const
{
    return ruleText(m_positive, route.listedIn > 0, texts);
}
