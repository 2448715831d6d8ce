#include "bus/VerifyReport.h"

#include "bus/VerifyText.h"
#include "core/base/FileIo.h"
#include "core/config/CobIdCsv.h"

#include <QDir>

namespace {

QString dirTitle(Direction from)
{
    return Catalog::defaults().text(from.titleText());
}

QString csvField(const QString &s)
{
    if (!s.contains(u',') && !s.contains(u'"') && !s.contains(u'\n'))
        return s;
    QString q = s;
    q.replace(u'"', QLatin1String("\"\""));
    return u'"' + q + u'"';
}

QString hexWord(quint32 v)
{
    return QStringLiteral("0x%1")
        .arg(v, 8, 16, QLatin1Char('0'))
        .toUpper()
        .replace(QLatin1String("0X"), QLatin1String("0x"));
}

} // namespace

namespace VerifyReport {

QStringList summaryLines(const VerifyResult &result, const TestPlan &plan, int maxMismatches)
{
    QStringList lines;
    for (const VerifyResult::PerDirection &d : result.directions) {
        const QStringList verdict = VerifyText::direction(d);
        lines.append(verdict.first());
        for (qsizetype k = 1; k < verdict.size(); ++k)
            lines.append(QStringLiteral("  ") + verdict[k]);
        int shown = 0;
        for (const int i : d.mismatches) {
            if (maxMismatches >= 0 && shown == maxMismatches) {
                lines.append(
                    QStringLiteral("  ... and %1 more (see the report)").arg(int(d.mismatches.size()) - shown));
                break;
            }
            lines.append(QStringLiteral("  ")
                         + VerifyText::mismatch(plan.framesFrom(d.from)[size_t(i)], d.verdicts[size_t(i)].seen));
            ++shown;
        }
    }
    return lines;
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
    row({QStringLiteral("project"), CobIdCsv::guardText(info.project)});
    row({QStringLiteral("folder"), QDir::toNativeSeparators(info.projectDir)});
    row({QStringLiteral("prediction"), QDir::toNativeSeparators(info.source)});
    row({QStringLiteral("fingerprint"), info.fingerprint});
    for (const QString &a : info.assumptions)
        row({QStringLiteral("assumed"), a});
    row({QStringLiteral("image checksum"), hexWord(info.checksum)});
    row({QStringLiteral("CAN 0"), CobIdCsv::guardText(info.can0)});
    row({QStringLiteral("CAN 1"), CobIdCsv::guardText(info.can1)});
    row({QStringLiteral("started"), info.started.toString(Qt::ISODate)});
    row({QStringLiteral("duration ms"), QString::number(info.elapsedMs)});
    row({QStringLiteral("result"), VerifyText::result(result)});
    s += QLatin1String("\r\n");
    row({QStringLiteral("direction"), QStringLiteral("identifier"), QStringLiteral("format"), QStringLiteral("kind"),
         QStringLiteral("expected"), QStringLiteral("seen"), QStringLiteral("verdict")});
    static const char *const verdictNames[] = {"passed", "blocked", "remapped", "MISMATCH"};
    for (const VerifyResult::PerDirection &d : result.directions) {
        for (size_t i = 0; i < d.verdicts.size(); ++i) {
            const PlanFrame &f = plan.framesFrom(d.from)[i];
            const FrameVerdict &v = d.verdicts[i];
            row({QString::number(d.from.fromPort()), hexWord(f.id),
                 f.extended ? QStringLiteral("29-bit") : QStringLiteral("11-bit"), VerifyText::kind(f.kind),
                 VerifyText::expected(f.expected), VerifyText::seen(v.seen), QLatin1String(verdictNames[v.kind])});
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
             .arg(result.allMatched() ? QStringLiteral("good") : QStringLiteral("bad"),
                  VerifyText::result(result).toHtmlEscaped());
    s += QLatin1String("<p>");
    static const char *const keys[] = {"passes unchanged", "blocked", "passes remapped", "mismatch"};
    for (int k = 0; k < 4; ++k)
        s += QStringLiteral("<span class=\"key\" style=\"background:%1\"></span>%2")
                 .arg(QLatin1String(colours[k]), QLatin1String(keys[k]));
    s += QLatin1String("</p>\r\n");
    for (const VerifyResult::PerDirection &d : result.directions) {
        s += QStringLiteral("<h2>%1: %2 frames, %3</h2>\r\n")
                 .arg(dirTitle(d.from))
                 .arg(d.frames)
                 .arg(VerifyText::mismatches(int(d.mismatches.size())));
        // 64 identifiers a row, 32 rows: every 11-bit identifier as one cell.
        s += QLatin1String(
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"642\" height=\"322\" viewBox=\"-1 -1 642 322\">");
        for (size_t i = 0; i < d.verdicts.size(); ++i) {
            const PlanFrame &f = plan.framesFrom(d.from)[i];
            if (f.extended || f.kind != PlanFrame::Kind::Sweep)
                continue;
            s += QStringLiteral(
                     "<rect x=\"%1\" y=\"%2\" width=\"9\" height=\"9\" fill=\"%3\"><title>%4 %5</title></rect>")
                     .arg((f.id % 64) * 10)
                     .arg((f.id / 64) * 10)
                     .arg(QLatin1String(colours[d.verdicts[i].kind]),
                          FilterImage::frameText(f.id, false).toHtmlEscaped(),
                          VerifyText::seen(d.verdicts[i].seen).toHtmlEscaped());
        }
        s += QLatin1String("</svg>\r\n");
        if (!d.mismatches.empty()) {
            s += QLatin1String("<table><tr><th>Identifier</th><th>Kind</th><th>Expected</th><th>Seen</th></tr>");
            for (const int i : d.mismatches) {
                const PlanFrame &f = plan.framesFrom(d.from)[size_t(i)];
                const FrameVerdict &v = d.verdicts[size_t(i)];
                s +=
                    QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td class=\"bad\">%4</td></tr>")
                        .arg(FilterImage::frameText(f.id, f.extended).toHtmlEscaped(),
                             VerifyText::kind(f.kind).toHtmlEscaped(), VerifyText::expected(f.expected).toHtmlEscaped(),
                             VerifyText::seen(v.seen).toHtmlEscaped());
            }
            s += QLatin1String("</table>\r\n");
        }
    }
    s += QLatin1String("</body></html>\r\n");
    return s.toUtf8();
}

QStringList paths(const QString &path)
{
    QString base = path;
    for (const QLatin1String ext : {QLatin1String(".csv"), QLatin1String(".html")}) {
        if (base.endsWith(ext, Qt::CaseInsensitive))
            base.chop(ext.size());
    }
    return {base + QLatin1String(".csv"), base + QLatin1String(".html")};
}

QString write(const QString &path, const TestPlan &plan, const VerifyResult &result, const VerifyRunInfo &info,
              QStringList *written)
{
    const QStringList files = paths(path);
    const QString error =
        FileIo::saveFiles({{files.at(0), csv(plan, result, info)}, {files.at(1), html(plan, result, info)}});
    if (!error.isEmpty())
        return error;
    if (written)
        *written = files;
    return QString();
}

} // namespace VerifyReport
