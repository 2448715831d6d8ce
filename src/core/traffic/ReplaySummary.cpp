#include "core/traffic/ReplaySummary.h"

QStringList ReplaySummary::text(Direction from, const Catalog &texts) const
{
    const auto frames = [&](quint64 n) { return texts.text(n == 1 ? 860 : 861).arg(n); };
    const auto ids = [&](int n) {
        const QString count = texts.text(n == 1 ? 862 : 863).arg(n);
        return idsCapped ? texts.text(864).arg(count) : count;
    };
    QString formatName;
    switch (format) {
    case TraceFormat::Candump:
        formatName = texts.text(874);
        break;
    case TraceFormat::Asc:
        formatName = texts.text(875);
        break;
    case TraceFormat::Unknown:
        break;
    }
    QStringList out;
    out << texts.text(859).arg(QString::number(from.fromPort()), QString::number(from.toPort()), formatName, QString::number(lines));
    out << texts.text(865).arg(frames(framesIn), ids(idsIn));
    out << texts.text(866).arg(frames(passed), ids(idsPassed));
    out << texts.text(867).arg(frames(remapped), ids(idsRemapped));
    out << texts.text(868).arg(frames(blocked), ids(idsBlocked));
    if (errorFrames)
        out << texts.text(869).arg(errorFrames);
    if (malformed)
        out << texts.text(870).arg(malformed);
    out << load.text(to, texts);
    return out;
}

QStringList ReplaySummary::warnings(Direction from, const Catalog &texts) const
{
    QStringList out = load.warnings(from.toPort(), texts);
    if (timeWentBack)
        out << texts.text(873);
    return out;
}
