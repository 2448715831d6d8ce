#pragma once

#include "core/device/FilterImage.h"
#include "core/device/facts/Direction.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

class BusPrediction;

// The frames sent on one side of the repeater and what should come out of the other.
struct PlanFrame
{
    enum class Kind : quint8 { Sweep, Listed, Neighbour, OtherFormat, Replacement, Edge, Sample, BitFlip };
    quint32 id = 0;
    bool extended = false;
    Kind kind = Kind::Sweep;
    FilterImage::Route expected;
};

struct TestPlan
{
    static constexpr int SampleSize = 256;
    static constexpr quint32 SampleSeed = 19;

    std::vector<Direction> directions; // in the order they run
    std::vector<PlanFrame> frames[2];  // by Direction::index(), in sending order

    const std::vector<PlanFrame> &framesFrom(Direction d) const { return frames[d.index()]; }

    // Per direction: every 11-bit identifier; every listed 29-bit identifier with its two
    // neighbours; each listed identifier in the other frame format; each replacement as an
    // input; the edges; a fixed-seed sample of unlisted 29-bit identifiers; with `deep` the
    // single-bit flips of every listed identifier. Each identifier once.
    static TestPlan build(const BusPrediction &prediction, const std::vector<Direction> &directions, bool deep);
    // `only`, or both in the order of Direction::all() when none is given.
    static std::vector<Direction> directionsFor(std::optional<Direction> only);

    int size() const { return int(frames[0].size() + frames[1].size()); }
};

// The eight data bytes of every plan frame: its sequence number in the direction's plan, the
// direction and a tag of the run, so that a frame that arrives is known whatever identifier it
// left with, and frames of another run on the same bus are not taken for ours.
namespace PlanPayload {
QByteArray encode(quint32 sequence, Direction direction, quint32 runTag);
struct Decoded
{
    quint32 sequence;
    Direction direction;
};
std::optional<Decoded> decode(const QByteArray &data, quint32 runTag);
} // namespace PlanPayload

// Bits a data frame of `dataBytes` takes on the wire with the most stuff bits it can need,
// with the intermission before the next frame.
int wireBits(bool extended, int dataBytes);
