// Integer text: any text reads to a number or to nothing, and the rules that hold for every
// number hold for what was read.
#include "FuzzCheck.h"

#include "core/base/IntText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = Fuzz::text(data, size);
    const std::optional<qint32> value = IntText::read(text);
    FUZZ_CHECK(IntText::readOr(text, 7) == (value ? *value : 7));
    if (value) {
        // Leading blanks are skipped, a trailing one makes the text unreadable.
        FUZZ_CHECK(IntText::read(QStringLiteral("  ") + text) == value);
        FUZZ_CHECK(!IntText::read(text + QLatin1Char(' ')));
        FUZZ_CHECK(IntText::read(QString::number(*value)) == value);
        FUZZ_CHECK(IntText::read(QStringLiteral("0x") + QString::number(quint32(*value), 16)) == value);
    }
    const QString trimmed = IntText::trimmed(text);
    FUZZ_CHECK(trimmed.isEmpty() || (trimmed.front().unicode() > 32 && trimmed.back().unicode() > 32));
    FUZZ_CHECK(IntText::trimmed(trimmed) == trimmed);
    FUZZ_CHECK(IntText::upperAscii(text).size() == text.size());
    return 0;
}
