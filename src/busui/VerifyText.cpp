#include "busui/VerifyText.h"

#include "core/base/Catalog.h"

namespace VerifyText {

namespace {

QString kindText(PlanFrame::Kind kind, const Catalog &texts)
{
    switch (kind) {
    case PlanFrame::Kind::Sweep: return texts.text(699);
    case PlanFrame::Kind::Listed: return texts.text(32);
    case PlanFrame::Kind::Neighbour: return texts.text(33);
    case PlanFrame::Kind::OtherFormat: return texts.text(34);
    case PlanFrame::Kind::Replacement: return texts.text(35);
    case PlanFrame::Kind::Edge: return texts.text(36);
    case PlanFrame::Kind::Sample: return texts.text(37);
    case PlanFrame::Kind::BitFlip: return texts.text(38);
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
            lines << texts.text(690).arg(direction, QString::number(d.frames));
            continue;
        }
        lines << texts.text(wrong == 1 ? 691 : 692).arg(direction, QString::number(d.frames), QString::number(wrong));
        if (d.arrived == 0)
            lines << texts.text(693).arg(d.from == 1 ? 0 : 1);
    }
    return lines;
}

QString mismatch(const PlanFrame &frame, const Observation &seen, const Catalog &texts)
{
    const FilterImage::Route &e = frame.expected;
    const QString expected = e.passes ? texts.text(694).arg(FilterImage::frameText(e.id, e.extended, texts)) : texts.text(695);
    QString seenText = seen.count == 0 ? texts.text(696) : FilterImage::frameText(seen.id, seen.extended, texts);
    if (seen.count > 1)
        seenText = texts.text(697).arg(seenText, QString::number(seen.count));
    if (seen.reordered)
        seenText = texts.text(698).arg(seenText);
    return texts.text(39).arg(FilterImage::frameText(frame.id, frame.extended, texts), expected, seenText,
                              kindText(frame.kind, texts));
}

} // namespace VerifyText
