#include "ui/config/ReplaySummaryText.h"

#include "core/base/Catalog.h"

namespace ReplaySummaryText {

QStringList lines(const TraceReplay::Summary &summary, int from, const Catalog &texts)
{
    const int to = from == 1 ? 0 : 1;
    const auto frames = [&](quint64 n) { return texts.text(n == 1 ? 860 : 861).arg(n); };
    const auto ids = [&](int n) {
        const QString count = texts.text(n == 1 ? 862 : 863).arg(n);
        return summary.idsCapped ? texts.text(864).arg(count) : count;
    };
    QString format;
    switch (summary.format) {
    case TraceReplay::Format::Candump:
        format = texts.text(874);
        break;
    case TraceReplay::Format::Asc:
        format = texts.text(875);
        break;
    case TraceReplay::Format::Unknown:
        break;
    }
    QStringList out;
    out << texts.text(859).arg(QString::number(from), QString::number(to), format, QString::number(summary.lines));
    out << texts.text(865).arg(frames(summary.framesIn), ids(summary.idsIn));
    out << texts.text(866).arg(frames(summary.passed), ids(summary.idsPassed));
    out << texts.text(867).arg(frames(summary.remapped), ids(summary.idsRemapped));
    out << texts.text(868).arg(frames(summary.blocked), ids(summary.idsBlocked));
    if (summary.errorFrames)
        out << texts.text(869).arg(summary.errorFrames);
    if (summary.malformed)
        out << texts.text(870).arg(summary.malformed);
    out << summary.load.text(to, texts);
    QStringList warnings = summary.load.warnings(to, texts);
    if (summary.timeWentBack)
        warnings << texts.text(873);
    for (const QString &warning : warnings)
        out << texts.text(871).arg(warning);
    return out;
}

} // namespace ReplaySummaryText
