// Language files: any bytes decode and apply without harm; the catalog keeps its 1000 slots,
// and no slot holds a line break, since entries are single lines.
#include "FuzzCheck.h"

#include "core/base/Catalog.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Catalog defaults = [] {
        Catalog c;
        c.Load_Default_Texts();
        return c;
    }();
    Catalog catalog = defaults;
    QString version = QStringLiteral("NO VER.");
    catalog.applyLangText(Catalog::decode(Fuzz::bytes(data, size)), version);
    FUZZ_CHECK(catalog.Lang_Count() == Catalog::Size);
    FUZZ_CHECK(catalog.Lang_Texts().size() == Catalog::Size);
    for (const QString &t : catalog.Lang_Texts())
        FUZZ_CHECK(!t.contains(QLatin1Char('\n')) && !t.contains(QLatin1Char('\r')));
    FUZZ_CHECK(!version.contains(QLatin1Char('\n')) && !version.contains(QLatin1Char('\r')));
    return 0;
}
