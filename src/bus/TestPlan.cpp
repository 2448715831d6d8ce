#include "bus/TestPlan.h"

#include "bus/BusPrediction.h"
#include "core/traffic/FrameLength.h"

#include <QSet>
#include <QtEndian>

#include <random>

namespace {

constexpr quint8 PayloadMark = 0xA5;

quint64 key(quint32 id, bool extended)
{
    return (quint64(extended) << 32) | id;
}

class Builder
{
public:
    Builder(const BusPrediction &prediction, Direction from)
        : m_prediction(prediction)
        , m_from(from)
    {
    }

    void add(quint32 id, bool extended, PlanFrame::Kind kind)
    {
        if (id > (extended ? DeviceFacts::Max29Bit : DeviceFacts::Max11Bit))
            return;
        if (m_seen.contains(key(id, extended)))
            return;
        m_seen.insert(key(id, extended));
        m_frames.push_back(PlanFrame{id, extended, kind, m_prediction.route(m_from, id, extended)});
    }

    std::vector<PlanFrame> take() { return std::move(m_frames); }

private:
    const BusPrediction &m_prediction;
    Direction m_from;
    QSet<quint64> m_seen;
    std::vector<PlanFrame> m_frames;
};

} // namespace

TestPlan TestPlan::build(const BusPrediction &prediction, const std::vector<Direction> &directions, bool deep)
{
    using K = PlanFrame::Kind;
    TestPlan plan;
    plan.directions = directions;
    for (const Direction from : directions) {
        Builder b(prediction, from);
        for (quint32 id = 0; id <= DeviceFacts::Max11Bit; ++id)
            b.add(id, false, K::Sweep);
        QSet<quint64> listed;
        for (const FilterImage::Entry &e : prediction.rows(from))
            listed.insert(key(e.Orig & ~DeviceFacts::ExtMark, (e.Orig & DeviceFacts::ExtMark) != 0));
        for (const FilterImage::Entry &e : prediction.rows(from)) {
            const quint32 id = e.Orig & ~DeviceFacts::ExtMark;
            const bool extended = (e.Orig & DeviceFacts::ExtMark) != 0;
            b.add(id, extended, K::Listed);
            if (extended) {
                if (id > 0)
                    b.add(id - 1, true, K::Neighbour);
                b.add(id + 1, true, K::Neighbour);
            }
        }
        for (const FilterImage::Entry &e : prediction.rows(from)) {
            const quint32 id = e.Orig & ~DeviceFacts::ExtMark;
            b.add(id, (e.Orig & DeviceFacts::ExtMark) == 0, K::OtherFormat);
        }
        if (prediction.positive()) {
            for (const FilterImage::Entry &e : prediction.rows(from))
                b.add(e.Mod & ~DeviceFacts::ExtMark, (e.Mod & DeviceFacts::ExtMark) != 0, K::Replacement);
        }
        b.add(0, true, K::Edge);
        b.add(DeviceFacts::Max11Bit, true, K::Edge);
        b.add(DeviceFacts::Max29Bit, true, K::Edge);
        // mt19937's sequence is fixed by the standard, so every platform sends the same sample.
        std::mt19937 random(SampleSeed);
        int drawn = 0;
        for (int attempt = 0; drawn < SampleSize && attempt < 64 * SampleSize; ++attempt) {
            const quint32 id = quint32(random()) & DeviceFacts::Max29Bit;
            if (id <= DeviceFacts::Max11Bit || listed.contains(key(id, true)))
                continue;
            b.add(id, true, K::Sample);
            ++drawn;
        }
        if (deep) {
            for (const FilterImage::Entry &e : prediction.rows(from)) {
                const quint32 id = e.Orig & ~DeviceFacts::ExtMark;
                const bool extended = (e.Orig & DeviceFacts::ExtMark) != 0;
                for (int bit = 0; bit < (extended ? 29 : 11); ++bit)
                    b.add(id ^ (1u << bit), extended, K::BitFlip);
            }
        }
        plan.frames[from.index()] = b.take();
    }
    return plan;
}

std::vector<Direction> TestPlan::directionsFor(std::optional<Direction> only)
{
    if (only)
        return {*only};
    const auto all = Direction::all();
    return {all.begin(), all.end()};
}

namespace PlanPayload {

QByteArray encode(quint32 sequence, Direction direction, quint32 runTag)
{
    QByteArray data(8, '\0');
    qToLittleEndian<quint32>(sequence, data.data());
    data[4] = char(PayloadMark);
    data[5] = char(direction.index());
    qToLittleEndian<quint16>(quint16(runTag), data.data() + 6);
    return data;
}

std::optional<Decoded> decode(const QByteArray &data, quint32 runTag)
{
    if (data.size() != 8 || quint8(data.at(4)) != PayloadMark || quint8(data.at(5)) > 1
        || qFromLittleEndian<quint16>(data.constData() + 6) != quint16(runTag))
        return std::nullopt;
    return Decoded{qFromLittleEndian<quint32>(data.constData()), Direction::at(data.at(5))};
}

} // namespace PlanPayload

int wireBits(bool extended, int dataBytes)
{
    return FrameLength::bits(extended, dataBytes, true);
}
