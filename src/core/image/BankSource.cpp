#include "core/image/BankSource.h"

#include "core/base/FileIo.h"
#include "core/device/facts/DeviceFacts.h"

namespace BankSource {

namespace {
constexpr int BytesPerLine = 16;
constexpr char kHex[] = "0123456789ABCDEF";

void appendBank(QByteArray &out, int k, const QByteArray &given)
{
    const QByteArray bank = given.leftJustified(DeviceFacts::BankSize, char(0xFF), true);
    const auto *bytes = reinterpret_cast<const uchar *>(bank.constData());
    const int lines = DeviceFacts::BankSize / BytesPerLine;
    for (int j = 0; j < lines; ++j) {
        if (j == 0)
            out += "const char Bank" + QByteArray::number(k) + " [] = {";
        else
            out.append(17, ' ');
        for (int b = 0; b < BytesPerLine; ++b) {
            const uchar v = bytes[j * BytesPerLine + b];
            const bool last = j == lines - 1 && b == BytesPerLine - 1;
            const char item[] = {' ', '0', 'x', kHex[v >> 4], kHex[v & 0xF], last ? '}' : ',', ';'};
            out.append(item, last ? 7 : 6);
        }
        out += "\r\n";
    }
    out += "\r\n";
}
} // namespace

QByteArray Write_Bank_Source(const QByteArray banks[4])
{
    QByteArray out;
    out.reserve(4 * (DeviceFacts::BankSize / BytesPerLine) * 115 + 100);
    out += "#pragma CONST_SEG SEGMENT0\r\n";
    for (int k = 1; k <= 3; ++k)
        appendBank(out, k, banks[k - 1]);
    out += "#pragma CONST_SEG SEGMENT1\r\n";
    appendBank(out, 4, banks[3]);
    out += "#pragma CONST_SEG DEFAULT\r\n";
    return out;
}

QString Write_Bank_Source(const QByteArray banks[4], QIODevice &device)
{
    return FileIo::writeAll(device, Write_Bank_Source(banks));
}

} // namespace BankSource
