// What one refresh of the filter window's frame check costs on the largest tables (2048 rows
// each way, identifiers in descending order, the worst case for the image's ordering): the
// in-memory image build plus both identifier maps, against writing the same tables as the
// document bytes that OK writes, measured in the same run.

#include "core/config/CobIdDocument.h"
#include "core/device/DevicePrediction.h"
#include "core/image/XmlSource.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int kRounds = 20;

CobIdDocument fullTables()
{
    CobIdDocument doc;
    for (int t = 0; t < CobIdDocument::TableCount; ++t) {
        for (int r = 0; r < CobIdTable::RowCount; ++r) {
            const QString id = QString::number(CobIdTable::RowCount - 1 - r);
            doc.table(t).setCell(r, CobIdTable::OrigCobId, id);
            doc.table(t).setCell(r, CobIdTable::TypeCobId, CobIdTable::type11Bit());
            doc.table(t).setCell(r, CobIdTable::ModCobId, id);
            doc.table(t).setCell(r, CobIdTable::TypeMCobId, CobIdTable::type11Bit());
        }
    }
    return doc;
}

template <class F>
double medianMs(F f)
{
    std::vector<double> times;
    for (int i = 0; i < kRounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        f();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const CobIdDocument doc = fullTables();
    const XmlSource parGen =
        XmlSource::fromBytes("<Par_Gen><Positive>1</Positive></Par_Gen>", QStringLiteral("ParGen.xml"));
    int sink = 0;
    const double preview = medianMs([&] {
        FilterImage image;
        if (!DevicePrediction::tablesImage(parGen, doc, image).isEmpty())
            std::abort();
        for (const Direction from : Direction::all())
            sink += int(image.idSpace(from)[0]);
    });
    const double save = medianMs([&] {
        QByteArray bytes;
        if (!doc.toBytes(bytes).isEmpty())
            std::abort();
        sink += int(bytes.size() & 1);
    });
    std::printf("frame check refresh, 2 x 2048 rows: %.2f ms (median of %d)\n", preview, kRounds);
    std::printf("document bytes for OK, same tables: %.2f ms\n", save);
    std::printf("ratio refresh / document bytes: %.1f\n", preview / save);
    return sink == -1;
}
