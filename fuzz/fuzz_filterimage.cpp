// The configuration image as simulate and map read it back: any bytes are read or refused
// with a message, and what is read answers every identifier.
#include "FuzzCheck.h"

#include "core/device/FilterImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FilterImage image;
    if (!image.parse(Fuzz::bytes(data, size), QStringLiteral("bank_K60.bin")).isEmpty())
        return 0;
    for (const Direction from : Direction::all()) {
        FUZZ_CHECK(image.entries(from).size() <= size_t(DeviceFacts::TableRows));
        image.idSpace(from);
        // A few rows are enough: each route looks through the whole table.
        const std::vector<FilterImage::Entry> &entries = image.entries(from);
        for (size_t i = 0; i < entries.size() && i < 16; ++i) {
            const FilterImage::Entry &e = entries[i];
            const bool extended = (e.Orig & DeviceFacts::ExtMark) != 0;
            const quint32 id = e.Orig & ~DeviceFacts::ExtMark;
            const FilterImage::Route route = image.route(from, id, extended);
            FilterImage::routeText(from, id, extended, route);
            image.reasonText(route);
        }
        image.route(from, 0x7FF, false);
        image.route(from, 0x1FFFFFFF, true);
    }
    return 0;
}
