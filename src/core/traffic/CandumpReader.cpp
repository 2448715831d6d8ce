#include "core/traffic/CandumpReader.h"
#include "core/device/facts/DeviceFacts.h"

#include "core/base/Catalog.h"
#include "core/config/CobIdChecks.h"

#include <algorithm>

using TraceText::isBlank;

bool CandumpReader::recognises(const char *first, const char *end)
{
    return first < end && *first == '(';
}

namespace {

// "(1436509053.249713) can0 ", up to the identifier.
bool readHead(const char *&p, const char *end, TraceFrame &f, QString &reason)
{
    if (p >= end || *p != '(') {
        reason = Catalog::messages().text(TextId::TraceTimeInParentheses);
        return false;
    }
    ++p;
    if (!TraceText::readTime(p, end, f.timeNs) || p >= end || *p != ')') {
        reason = Catalog::messages().text(TextId::TraceTimeFormat);
        return false;
    }
    ++p;
    if (p >= end || !isBlank(*p)) {
        reason = Catalog::messages().text(TextId::TraceInterfaceMissing);
        return false;
    }
    while (p < end && isBlank(*p))
        ++p;
    const char *iface = p;
    while (p < end && !isBlank(*p))
        ++p;
    if (p == iface || p >= end) {
        reason = Catalog::messages().text(TextId::TraceInterfaceOrFrameMissing);
        return false;
    }
    while (p < end && isBlank(*p))
        ++p;
    return true;
}

// "123#" or "18FEF100#": three digits for 11 bits, eight for 29 bits or an error frame.
bool readId(const char *&p, const char *end, const char *begin, TraceFrame &f, QString &reason)
{
    const char *id = p;
    quint32 value = 0;
    while (p < end && IntText::hexDigit(*p) >= 0 && p - id < 9)
        value = value * 16 + quint32(IntText::hexDigit(*p++));
    const int digits = int(p - id);
    if (p >= end || *p != '#' || (digits != 3 && digits != 8)) {
        reason = Catalog::messages().text(TextId::TraceIdentifierDigits);
        return false;
    }
    f.idStart = int(id - begin);
    f.idLength = digits;
    f.extended = digits == 8;
    if (f.extended && (value & 0x20000000u)) {
        f.error = true; // the error flag of the recording interface
        return true;
    }
    if (f.extended ? value > DeviceFacts::Max29Bit : value > DeviceFacts::Max11Bit) {
        reason = Catalog::messages()
                     .text(TextId::TraceIdentifierBeyond)
                     .arg(QString::fromLatin1(id, digits),
                          CobIdChecks::idText(f.extended ? DeviceFacts::Max29Bit : DeviceFacts::Max11Bit, f.extended));
        return false;
    }
    f.id = value;
    ++p;
    return true;
}

// The data of a classic, remote or CAN FD frame, and what may follow it to the end of the line.
bool readData(const char *p, const char *end, TraceFrame &f, QString &reason)
{
    int maxBytes = 8;
    if (p < end && *p == '#') {
        // CAN FD: one hexadecimal digit of flags, then up to 64 bytes.
        ++p;
        if (p >= end || IntText::hexDigit(*p) < 0) {
            reason = Catalog::messages().text(TextId::TraceFdFlagsMissing);
            return false;
        }
        ++p;
        f.fd = true;
        maxBytes = 64;
    } else if (p < end && (*p == 'R' || *p == 'r')) {
        ++p;
        if (p < end && IntText::hexDigit(*p) >= 0)
            ++p; // the DLC of the remote frame
        f.remote = true;
        maxBytes = 0;
    }
    int bytes = 0;
    while (p + 1 < end && IntText::hexDigit(p[0]) >= 0 && IntText::hexDigit(p[1]) >= 0) {
        p += 2;
        ++bytes;
        if (p < end && *p == '.' && f.fd)
            ++p;
    }
    if (bytes > maxBytes) {
        reason = Catalog::messages().text(TextId::TraceTooManyBytes).arg(bytes).arg(maxBytes);
        return false;
    }
    if (!f.fd && !f.remote && p < end && *p == '_') {
        // A DLC beyond 8 with 8 data bytes.
        p += 2;
    }
    // A direction flag after a blank, as newer logs write it, is allowed.
    while (p < end && isBlank(*p))
        ++p;
    if (p < end && (*p == 'R' || *p == 'T') && p + 1 == end)
        ++p;
    if (p != end) {
        reason = Catalog::messages()
                     .text(TextId::TraceTextAfterData)
                     .arg(QString::fromLatin1(p, int(std::min<qint64>(end - p, 20))));
        return false;
    }
    f.dataBytes = bytes;
    return true;
}

} // namespace

TraceLine CandumpReader::read(const char *begin, const char *end, TraceFrame &f, QString &reason)
{
    f = TraceFrame();
    const char *p = begin;
    if (!readHead(p, end, f, reason) || !readId(p, end, begin, f, reason))
        return TraceLine::Malformed;
    if (f.error)
        return TraceLine::Frame;
    return readData(p, end, f, reason) ? TraceLine::Frame : TraceLine::Malformed;
}
