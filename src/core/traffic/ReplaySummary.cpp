#include "core/traffic/ReplaySummary.h"

QStringList ReplaySummary::text(Direction from, const Catalog &texts) const
{
    const auto frames = [&](quint64 n) {
        return texts.text(n == 1 ? TextId::ReplayFrame : TextId::ReplayFrames).arg(n);
    };
    const auto ids = [&](int n) {
        const QString count = texts.text(n == 1 ? TextId::ReplayIdentifier : TextId::ReplayIdentifiers).arg(n);
        return idsCapped ? texts.text(TextId::ReplayAtLeast).arg(count) : count;
    };
    QString formatName;
    switch (format) {
    case TraceFormat::Candump:
        formatName = texts.text(TextId::TraceCandumpLog);
        break;
    case TraceFormat::Asc:
        formatName = texts.text(TextId::TraceAsc);
        break;
    case TraceFormat::Unknown:
        break;
    }
    QStringList out;
    out << texts.text(TextId::ReplayHeading)
               .arg(QString::number(from.fromPort()), QString::number(from.toPort()), formatName,
                    QString::number(lines));
    out << texts.text(TextId::ReplayIn).arg(frames(framesIn), ids(idsIn));
    out << texts.text(TextId::ReplayPassed).arg(frames(passed), ids(idsPassed));
    out << texts.text(TextId::ReplayRemapped).arg(frames(remapped), ids(idsRemapped));
    out << texts.text(TextId::ReplayBlocked).arg(frames(blocked), ids(idsBlocked));
    if (errorFrames)
        out << texts.text(TextId::ReplayErrorFrames).arg(errorFrames);
    if (malformed)
        out << texts.text(TextId::ReplayMalformed).arg(malformed);
    out << load.text(from.toPort(), texts);
    return out;
}

QStringList ReplaySummary::warnings(Direction from, const Catalog &texts) const
{
    QStringList out = load.warnings(from.toPort(), texts);
    if (timeWentBack)
        out << texts.text(TextId::ReplayTimeGoesBack);
    return out;
}
