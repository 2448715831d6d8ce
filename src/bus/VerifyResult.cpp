#include "bus/VerifyResult.h"

#include "core/base/FileIo.h"

#include <QDir>

namespace {

QString dirTitle(int from)
{
    return from == 1 ? QStringLiteral("From CAN 1 to CAN 0") : QStringLiteral("From CAN 0 to CAN 1");
}

QString expectedText(const FilterImage::Route &r)
{
    return r.passes ? QStringLiteral("passes as %1").arg(FilterImage::frameText(r.id, r.extended)) : QStringLiteral("blocked");
}

QString csvField(const QString &s)
{
    if (!s.contains(u',') && !s.contains(u'"') && !s.contains(u'\n'))
        return s;
    QString q = s;
    q.replace(u'"', QLatin1String("\"\""));
    return u'"' + q + u'"';
}

QString mismatches(qsizetype n)
{
    return n == 1 ? QStringLiteral("1 mismatch") : QStringLiteral("%1 mismatches").arg(n);
}

QString hexWord(quint32 v)
{
    return QStringLiteral("0x%1").arg(v, 8, 16, QLatin1Char('0')).toUpper().replace(QLatin1String("0X"), QLatin1String("0x"));
}

} // namespace

VerifyResult VerifyResult::evaluate(const TestPlan &plan, const BusVerifier &verifier)
{
    VerifyResult result;
    result.error = verifier.error();
    result.cancelled = verifier.cancelled();
    for (const int from : plan.directions) {
        Direction d;
        d.from = from;
        const std::vector<PlanFrame> &frames = plan.frames[from];
        const std::vector<Observation> &seen = verifier.seen(from);
        d.frames = int(frames.size());
        d.verdicts.resize(frames.size());
        for (size_t i = 0; i < frames.size(); ++i) {
            const FilterImage::Route &e = frames[i].expected;
            const Observation o = i < seen.size() ? seen[i] : Observation();
            FrameVerdict &v = d.verdicts[i];
            v.expected = expectedText(e);
            if (o.count > 0)
                ++d.arrived;
            QString seenText = o.count == 0 ? QStringLiteral("nothing") : FilterImage::frameText(o.id, o.extended);
            if (o.count > 1)
                seenText += QStringLiteral(", %1 times").arg(o.count);
            if (o.reordered)
                seenText += QStringLiteral(", out of order");
            v.seen = seenText;
            const bool right = e.passes ? (o.count == 1 && o.id == e.id && o.extended == e.extended && !o.reordered) : o.count == 0;
            if (!right) {
                v.kind = FrameVerdict::Mismatch;
                d.mismatches.push_back(int(i));
            } else if (!e.passes) {
                v.kind = FrameVerdict::Blocked;
            } else {
                v.kind = (e.id == frames[i].id && e.extended == frames[i].extended) ? FrameVerdict::Passed : FrameVerdict::Remapped;
            }
        }
        result.directions.push_back(std::move(d));
    }
    return result;
}

bool VerifyResult::allMatched() const
{
    return error.isEmpty() && !cancelled && mismatchCount() == 0 && !directions.empty();
}

int VerifyResult::mismatchCount() const
{
    int n = 0;
    for (const Direction &d : directions)
        n += int(d.mismatches.size());
    return n;
}

QString VerifyResult::mismatchLine(const PlanFrame &frame, const FrameVerdict &verdict)
{
    return QStringLiteral("%1: expected %2; seen %3 [%4]")
        .arg(FilterImage::frameText(frame.id, frame.extended), verdict.expected, verdict.seen, TestPlan::kindText(frame.kind));
}

QStringList VerifyResult::summaryLines(const TestPlan &plan, int maxMismatches) const
{
    QStringList lines;
    for (const Direction &d : directions) {
        if (d.mismatches.empty()) {
            lines.append(QStringLiteral("%1: %2 frames, all as predicted").arg(dirTitle(d.from)).arg(d.frames));
            continue;
        }
        lines.append(QStringLiteral("%1: %2 frames, %3").arg(dirTitle(d.from)).arg(d.frames).arg(mismatches(qsizetype(d.mismatches.size()))));
        if (d.arrived == 0)
            lines.append(QStringLiteral("  nothing arrived on CAN %1 at all: is the repeater connected and running?").arg(d.from == 1 ? 0 : 1));
        int shown = 0;
        for (const int i : d.mismatches) {
            if (maxMismatches >= 0 && shown == maxMismatches) {
                lines.append(QStringLiteral("  ... and %1 more (see the report)").arg(int(d.mismatches.size()) - shown));
                break;
            }
            lines.append(QStringLiteral("  ") + mismatchLine(plan.frames[d.from][size_t(i)], d.verdicts[size_t(i)]));
            ++shown;
        }
    }
    return lines;
}

namespace VerifyReport {

QString resultText(const VerifyResult &result)
{
    if (result.cancelled)
        return QStringLiteral("cancelled");
    if (!result.error.isEmpty())
        return QStringLiteral("stopped: ") + result.error;
    const int n = result.mismatchCount();
    return n == 0 ? QStringLiteral("all frames as predicted") : mismatches(n);
}

QByteArray csv(const TestPlan &plan, const VerifyResult &result, const VerifyRunInfo &info)
{
    QString s;
    const auto row = [&s](const QStringList &fields) {
        QStringList q;
        for (const QString &f : fields)
            q.append(csvField(f));
        s += q.join(u',') + QLatin1String("\r\n");
    };
    row({QStringLiteral("project"), info.project});
    row({QStringLiteral("folder"), QDir::toNativeSeparators(info.projectDir)});
    row({QStringLiteral("prediction"), QDir::toNativeSeparators(info.source)});
    row({QStringLiteral("fingerprint"), info.fingerprint});
    for (const QString &a : info.assumptions)
        row({QStringLiteral("assumed"), a});
    row({QStringLiteral("image checksum"), hexWord(info.checksum)});
    row({QStringLiteral("CAN 0"), info.can0});
    row({QStringLiteral("CAN 1"), info.can1});
    row({QStringLiteral("started"), info.started.toString(Qt::ISODate)});
    row({QStringLiteral("duration ms"), QString::number(info.elapsedMs)});
    row({QStringLiteral("result"), resultText(result)});
    s += QLatin1String("\r\n");
    row({QStringLiteral("direction"), QStringLiteral("identifier"), QStringLiteral("format"), QStringLiteral("kind"),
         QStringLiteral("expected"), QStringLiteral("seen"), QStringLiteral("verdict")});
    static const char *const verdictNames[] = {"passed", "blocked", "remapped", "MISMATCH"};
    for (const VerifyResult::Direction &d : result.directions) {
        for (size_t i = 0; i < d.verdicts.size(); ++i) {
            const PlanFrame &f = plan.frames[d.from][i];
            const FrameVerdict &v = d.verdicts[i];
            row({QString::number(d.from), hexWord(f.id), f.extended ? QStringLiteral("29-bit") : QStringLiteral("11-bit"),
                 TestPlan::kindText(f.kind), v.expected, v.seen, QLatin1String(verdictNames[v.kind])});
        }
    }
    return s.toUtf8();
}

QByteArray html(const TestPlan &plan, const VerifyResult &result, const VerifyRunInfo &info)
{
    static const char *const colours[] = {"#3a9a4a", "#b8b8b8", "#3a6fc4", "#d8262b"};
    QString s;
    s += QLatin1String("<!DOCTYPE html>\r\n<html><head><meta charset=\"utf-8\"><title>");
    s += QStringLiteral("Bus check of %1").toHtmlEscaped().arg(info.project.toHtmlEscaped());
    s += QLatin1String("</title><style>body{font-family:Verdana,'DejaVu Sans',sans-serif;font-size:13px;margin:20px}"
                       "table{border-collapse:collapse}td,th{border:1px solid #ccc;padding:2px 6px;text-align:left}"
                       ".bad{color:#d8262b;font-weight:bold}.good{color:#3a9a4a;font-weight:bold}"
                       "span.key{display:inline-block;width:12px;height:12px;margin:0 4px 0 12px;vertical-align:middle}"
                       "</style></head><body>\r\n");
    s += QStringLiteral("<h1>Bus check of %1</h1>\r\n<table>").arg(info.project.toHtmlEscaped());
    const auto meta = [&s](const QString &k, const QString &v) {
        s += QStringLiteral("<tr><th>%1</th><td>%2</td></tr>").arg(k.toHtmlEscaped(), v.toHtmlEscaped());
    };
    meta(QStringLiteral("Project folder"), QDir::toNativeSeparators(info.projectDir));
    meta(QStringLiteral("Prediction from"), QDir::toNativeSeparators(info.source));
    meta(QStringLiteral("Fingerprint"), info.fingerprint);
    for (const QString &a : info.assumptions)
        meta(QStringLiteral("Assumed"), a);
    meta(QStringLiteral("Image checksum"), hexWord(info.checksum));
    meta(QStringLiteral("CAN 0"), info.can0);
    meta(QStringLiteral("CAN 1"), info.can1);
    meta(QStringLiteral("Started"), info.started.toString(Qt::ISODate));
    meta(QStringLiteral("Duration"), QStringLiteral("%1 ms").arg(info.elapsedMs));
    s += QStringLiteral("<tr><th>Result</th><td class=\"%1\">%2</td></tr></table>\r\n")
             .arg(result.allMatched() ? QStringLiteral("good") : QStringLiteral("bad"), resultText(result).toHtmlEscaped());
    s += QLatin1String("<p>");
    static const char *const keys[] = {"passes unchanged", "blocked", "passes remapped", "mismatch"};
    for (int k = 0; k < 4; ++k)
        s += QStringLiteral("<span class=\"key\" style=\"background:%1\"></span>%2").arg(QLatin1String(colours[k]), QLatin1String(keys[k]));
    s += QLatin1String("</p>\r\n");
    for (const VerifyResult::Direction &d : result.directions) {
        s += QStringLiteral("<h2>%1: %2 frames, %3</h2>\r\n").arg(dirTitle(d.from)).arg(d.frames).arg(mismatches(qsizetype(d.mismatches.size())));
        // 64 identifiers a row, 32 rows: every 11-bit identifier as one cell.
        s += QLatin1String("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"642\" height=\"322\" viewBox=\"-1 -1 642 322\">");
        for (size_t i = 0; i < d.verdicts.size(); ++i) {
            const PlanFrame &f = plan.frames[d.from][i];
            if (f.extended || f.kind != PlanFrame::Kind::Sweep)
                continue;
            s += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"9\" height=\"9\" fill=\"%3\"><title>%4 %5</title></rect>")
                     .arg((f.id % 64) * 10).arg((f.id / 64) * 10).arg(QLatin1String(colours[d.verdicts[i].kind]),
                          FilterImage::frameText(f.id, false).toHtmlEscaped(), d.verdicts[i].seen.toHtmlEscaped());
        }
        s += QLatin1String("</svg>\r\n");
        if (!d.mismatches.empty()) {
            s += QLatin1String("<table><tr><th>Identifier</th><th>Kind</th><th>Expected</th><th>Seen</th></tr>");
            for (const int i : d.mismatches) {
                const PlanFrame &f = plan.frames[d.from][size_t(i)];
                const FrameVerdict &v = d.verdicts[size_t(i)];
                s += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td class=\"bad\">%4</td></tr>")
                         .arg(FilterImage::frameText(f.id, f.extended).toHtmlEscaped(), TestPlan::kindText(f.kind).toHtmlEscaped(),
                              v.expected.toHtmlEscaped(), v.seen.toHtmlEscaped());
            }
            s += QLatin1String("</table>\r\n");
        }
    }
    s += QLatin1String("</body></html>\r\n");
    return s.toUtf8();
}

QString write(const QString &path, const TestPlan &plan, const VerifyResult &result, const VerifyRunInfo &info, QStringList *written)
{
    QString base = path;
    for (const QLatin1String ext : {QLatin1String(".csv"), QLatin1String(".html")}) {
        if (base.endsWith(ext, Qt::CaseInsensitive))
            base.chop(ext.size());
    }
    const QString csvPath = base + QLatin1String(".csv");
    const QString htmlPath = base + QLatin1String(".html");
    QString error = FileIo::saveFile(csvPath, csv(plan, result, info));
    if (!error.isEmpty())
        return error;
    error = FileIo::saveFile(htmlPath, html(plan, result, info));
    if (!error.isEmpty())
        return error;
    if (written)
        *written = QStringList{csvPath, htmlPath};
    return QString();
}

} // namespace VerifyReport
