#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// Numbers kept as text in the documents and settings are read with these rules:
// leading blanks, optional sign, decimal digits or hex digits after "$", "x", "X",
// "0x" or "0X"; nothing may follow the digits; the value must fit a signed
// 32-bit integer, eight-digit hex values with the top bit set read as negative.
namespace IntText {

namespace detail {
struct HexDigits
{
    signed char value[256];
};
constexpr HexDigits makeHexDigits()
{
    HexDigits t{};
    for (int c = 0; c < 256; ++c)
        t.value[c] = static_cast<signed char>(c >= '0' && c <= '9'       ? c - '0'
                                                  : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                  : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                                         : -1);
    return t;
}
// A table, since trace replays look up tens of millions of digits.
inline constexpr HexDigits kHexDigits = makeHexDigits();
} // namespace detail

// 0 to 15 for a hexadecimal digit of either case, else -1.
constexpr int hexDigit(char c)
{
    return detail::kHexDigits.value[static_cast<unsigned char>(c)];
}

std::optional<qint32> read(QStringView text);

// The value, or `fallback` when the text is unreadable.
qint32 readOr(QStringView text, qint32 fallback);

// Removes every leading and trailing character whose code is 32 or less.
QString trimmed(QStringView text);

// Upper-cases ASCII letters only; everything else is kept as it is.
QString upperAscii(QStringView text);

} // namespace IntText
