// Trace replay: any bytes replay to an output and a summary or stop with a message, and a
// candump log gives what reading it line by line with the full parser gives.
#include "FilterImageBytes.h"
#include "FuzzCheck.h"
#include "TraceByLine.h"

#include "core/device/DevicePrediction.h"
#include "core/device/facts/DeviceFacts.h"
#include "core/traffic/TraceReplay.h"

#include <QBuffer>

namespace {

constexpr quint32 X = DeviceFacts::ExtMark;

// Unchanged, remapped and blocked identifiers of both formats, both ways.
DevicePrediction device()
{
    const FilterImageBytes::Table rows = {{0x100, 0x100},     {0x123, 0x456},          {X | 0x18FEF100, 0x200},
                                          {X | 0x100, 0x100}, {0x7FF, X | 0x1FFFFFFF}, {X | 0xABCD, X | 0xABCD}};
    DevicePrediction d;
    FUZZ_CHECK(d.parseImage(FilterImageBytes::make(rows, rows, true), QStringLiteral("bank_K60.bin")).isEmpty());
    return d;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const DevicePrediction d = device();
    const QByteArray trace = Fuzz::bytes(data, size);
    for (const bool strict : {false, true}) {
        QBuffer in;
        in.setData(trace);
        in.open(QIODevice::ReadOnly);
        QByteArray out;
        QBuffer outDevice(&out);
        outDevice.open(QIODevice::WriteOnly);
        TraceReplay::Options options;
        options.from = Direction::at(int(size % 2));
        options.strict = strict;
        ReplaySummary s;
        QList<qint64> malformed;
        const QString error =
            TraceReplay::run(in, &outDevice, d, options, s, [&](const MalformedLine &m) { malformed << m.line; });
        s.text(options.from);
        s.warnings(options.from);
        if (strict || !TraceByLine::isCandump(trace))
            continue;
        FUZZ_CHECK(error.isEmpty());
        const QByteArray difference =
            TraceByLine::difference(TraceByLine::replay(trace, d, options.from), s, out, malformed);
        if (!difference.isEmpty())
            std::fprintf(stderr, "%s\n", difference.constData());
        FUZZ_CHECK(difference.isEmpty());
    }
    return 0;
}
