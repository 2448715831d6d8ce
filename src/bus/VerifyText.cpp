#include "bus/VerifyText.h"

namespace VerifyText {

QString kind(PlanFrame::Kind kind, const Catalog &texts)
{
    switch (kind) {
    case PlanFrame::Kind::Sweep:
        return texts.text(TextId::PlanKindSweep);
    case PlanFrame::Kind::Listed:
        return texts.text(TextId::PlanKindListed);
    case PlanFrame::Kind::Neighbour:
        return texts.text(TextId::PlanKindNeighbour);
    case PlanFrame::Kind::OtherFormat:
        return texts.text(TextId::PlanKindOtherFormat);
    case PlanFrame::Kind::Replacement:
        return texts.text(TextId::PlanKindReplacement);
    case PlanFrame::Kind::Edge:
        return texts.text(TextId::PlanKindEdge);
    case PlanFrame::Kind::Sample:
        return texts.text(TextId::PlanKindSample);
    case PlanFrame::Kind::BitFlip:
        return texts.text(TextId::PlanKindBitFlip);
    }
    return QString();
}

QString expected(const FilterImage::Route &route, const Catalog &texts)
{
    return route.passes
        ? texts.text(TextId::VerifyPassesAs).arg(FilterImage::frameText(route.id, route.extended, texts))
        : texts.text(TextId::VerifyBlocked);
}

QString seen(const Observation &seen, const Catalog &texts)
{
    QString text =
        seen.count == 0 ? texts.text(TextId::VerifySeenNothing) : FilterImage::frameText(seen.id, seen.extended, texts);
    if (seen.count > 1)
        text = texts.text(TextId::VerifySeenTimes).arg(text, QString::number(seen.count));
    if (seen.reordered)
        text = texts.text(TextId::VerifySeenOutOfOrder).arg(text);
    return text;
}

QString mismatch(const PlanFrame &frame, const Observation &observed, const Catalog &texts)
{
    return texts.text(TextId::VerifyMismatch)
        .arg(FilterImage::frameText(frame.id, frame.extended, texts), expected(frame.expected, texts),
             seen(observed, texts), kind(frame.kind, texts));
}

QStringList direction(const VerifyResult::PerDirection &d, const Catalog &texts)
{
    const QString title = texts.text(d.from.titleText());
    const qsizetype wrong = qsizetype(d.mismatches.size());
    if (wrong == 0)
        return {texts.text(TextId::VerifyDirectionAllMatched).arg(title, QString::number(d.frames))};
    QStringList lines{texts.text(wrong == 1 ? TextId::VerifyDirectionMismatch : TextId::VerifyDirectionMismatches)
                          .arg(title, QString::number(d.frames), QString::number(wrong))};
    if (d.arrived == 0)
        lines << texts.text(TextId::VerifyNothingArrived).arg(d.from.toPort());
    return lines;
}

QString result(const VerifyResult &result, const Catalog &texts)
{
    if (result.cancelled)
        return texts.text(TextId::VerifyCancelled);
    if (!result.error.isEmpty())
        return texts.text(TextId::VerifyStopped) + u' ' + result.error;
    const int n = result.mismatchCount();
    if (n == 0)
        return texts.text(TextId::VerifyAllAsPredicted);
    return mismatches(n, texts);
}

QString mismatches(int count, const Catalog &texts)
{
    return texts.text(count == 1 ? TextId::VerifyMismatchTotal : TextId::VerifyMismatchesTotal).arg(count);
}

} // namespace VerifyText
