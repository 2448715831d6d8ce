#include "busui/VerifyText.h"

#include "core/i18n/Catalog.h"

namespace VerifyText {

namespace {

QString kindText(PlanFrame::Kind kind, const Catalog &texts)
{
    switch (kind) {
    case PlanFrame::Kind::Sweep: return texts.text(TextId::PlanKindSweep);
    case PlanFrame::Kind::Listed: return texts.text(TextId::PlanKindListed);
    case PlanFrame::Kind::Neighbour: return texts.text(TextId::PlanKindNeighbour);
    case PlanFrame::Kind::OtherFormat: return texts.text(TextId::PlanKindOtherFormat);
    case PlanFrame::Kind::Replacement: return texts.text(TextId::PlanKindReplacement);
    case PlanFrame::Kind::Edge: return texts.text(TextId::PlanKindEdge);
    case PlanFrame::Kind::Sample: return texts.text(TextId::PlanKindSample);
    case PlanFrame::Kind::BitFlip: return texts.text(TextId::PlanKindBitFlip);
    }
    return QString();
}

} // namespace

QStringList summary(const VerifyResult &result, const Catalog &texts)
{
    QStringList lines;
    for (const VerifyResult::Direction &d : result.directions) {
        const QString direction = texts.text(d.from == 1 ? 511 : 510);
        const qsizetype wrong = qsizetype(d.mismatches.size());
        if (wrong == 0) {
            lines << texts.text(TextId::VerifyDirectionAllMatched).arg(direction, QString::number(d.frames));
            continue;
        }
        lines << texts.text(wrong == 1 ? TextId::VerifyDirectionMismatch : TextId::VerifyDirectionMismatches).arg(direction, QString::number(d.frames), QString::number(wrong));
        if (d.arrived == 0)
            lines << texts.text(TextId::VerifyNothingArrived).arg(d.from == 1 ? 0 : 1);
    }
    return lines;
}

QString mismatch(const PlanFrame &frame, const Observation &seen, const Catalog &texts)
{
    const FilterImage::Route &e = frame.expected;
    const QString expected = e.passes ? texts.text(TextId::VerifyPassesAs).arg(FilterImage::frameText(e.id, e.extended, texts)) : texts.text(TextId::VerifyBlocked);
    QString seenText = seen.count == 0 ? texts.text(TextId::VerifySeenNothing) : FilterImage::frameText(seen.id, seen.extended, texts);
    if (seen.count > 1)
        seenText = texts.text(TextId::VerifySeenTimes).arg(seenText, QString::number(seen.count));
    if (seen.reordered)
        seenText = texts.text(TextId::VerifySeenOutOfOrder).arg(seenText);
    return texts.text(TextId::VerifyMismatch).arg(FilterImage::frameText(frame.id, frame.extended, texts), expected, seenText,
                              kindText(frame.kind, texts));
}

} // namespace VerifyText
