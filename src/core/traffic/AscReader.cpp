#include "core/traffic/AscReader.h"
#include "core/device/facts/DeviceFacts.h"

#include "core/base/Catalog.h"
#include "core/config/CobIdChecks.h"
#include "core/device/FilterImage.h"

#include <algorithm>

using TraceText::readNumber;

namespace {

// Far beyond the tokens of any frame line.
constexpr int MaxTokens = 80;

// An identifier: hexadecimal or decimal digits by the file's base, "x" marking 29 bits.
bool readId(const TraceText::Token &t, bool hexBase, quint32 &id, bool &extended, QString &reason)
{
    TraceText::Token digits = t;
    extended = digits.size > 1 && (digits.begin[digits.size - 1] == 'x' || digits.begin[digits.size - 1] == 'X');
    if (extended)
        --digits.size;
    if (!readNumber(digits, hexBase ? 16 : 10, id)) {
        reason = Catalog::messages().text(TextId::TraceNotAnIdentifier).arg(QString::fromLatin1(t.begin, t.size));
        return false;
    }
    const quint32 max = extended ? DeviceFacts::Max29Bit : DeviceFacts::Max11Bit;
    if (id > max) {
        reason = Catalog::messages()
                     .text(TextId::TraceIdentifierBeyond)
                     .arg(QString::fromLatin1(t.begin, t.size), CobIdChecks::idText(max, extended));
        return false;
    }
    return true;
}

} // namespace

bool AscReader::recognises(const char *first, const char *end)
{
    Token t[1];
    TraceText::tokens(first, end, t, 1);
    return t[0].is("date") || t[0].is("base") || t[0].is("Begin") || t[0].is("//") || t[0].is("internal")
        || t[0].is("no") || TraceText::isTimeToken(t[0]);
}

TraceLine AscReader::read(const char *begin, const char *end, TraceFrame &f, QString &reason)
{
    Token t[MaxTokens];
    const int n = TraceText::tokens(begin, end, t, MaxTokens);
    if (n == 0)
        return TraceLine::Dropped;
    if (t[0].is("base")) {
        if (n >= 2)
            m_hexBase = !t[1].is("dec");
        if (n >= 4)
            m_relative = t[3].is("relative");
        return TraceLine::Kept;
    }
    if (!TraceText::isTimeToken(t[0]))
        return TraceLine::Kept;
    const char *q = t[0].begin;
    qint64 ns = 0;
    if (!TraceText::readTime(q, t[0].begin + t[0].size, ns)) {
        reason = Catalog::messages().text(TextId::TraceTimeNotSeconds);
        return TraceLine::Malformed;
    }
    if (m_relative)
        ns += m_lastNs;
    m_lastNs = ns;
    f = TraceFrame();
    f.timeNs = ns;
    if (n >= 2 && t[1].is("Start"))
        return TraceLine::Kept;
    if (n >= 2 && t[1].is("CANFD"))
        return readFdFrame(begin, t, n, f, reason);
    return readFrame(begin, t, n, f, reason);
}

// ts CANFD channel dir id [name] brs esi dlc length data...
TraceLine AscReader::readFdFrame(const char *begin, const Token *t, int n, TraceFrame &f, QString &reason) const
{
    if (n < 9) {
        reason = Catalog::messages().text(TextId::TraceFdFieldsMissing);
        return TraceLine::Malformed;
    }
    if (!readId(t[4], m_hexBase, f.id, f.extended, reason))
        return TraceLine::Malformed;
    f.idStart = int(t[4].begin - begin);
    f.idLength = t[4].size;
    int k = 5;
    quint32 flag = 0;
    if (!readNumber(t[k], 10, flag) || flag > 1)
        ++k; // a symbolic name stands before the flags
    quint32 length = 0;
    if (k + 3 >= n || !readNumber(t[k + 3], 10, length) || length > 64) {
        reason = Catalog::messages().text(TextId::TraceFdLengthBad);
        return TraceLine::Malformed;
    }
    if (k + 4 + int(length) > n) {
        reason = Catalog::messages().text(TextId::TraceFdTooFewBytes).arg(length);
        return TraceLine::Malformed;
    }
    f.fd = true;
    f.dataBytes = int(length);
    return TraceLine::Frame;
}

// ts channel id dir d dlc data..., ts channel id dir r, ts channel ErrorFrame, or another
// event of a channel or of the measurement.
TraceLine AscReader::readFrame(const char *begin, const Token *t, int n, TraceFrame &f, QString &reason) const
{
    if (n < 3)
        return TraceLine::Dropped;
    quint32 channel = 0;
    if (!readNumber(t[1], 10, channel))
        return TraceLine::Dropped; // an event of the measurement, not of a channel
    if (t[2].is("ErrorFrame")) {
        f.error = true;
        return TraceLine::Frame;
    }
    const bool looksLikeFrame = n >= 4 && (t[3].is("Rx") || t[3].is("Tx"));
    if (!looksLikeFrame)
        return TraceLine::Dropped; // statistics, chip states and other channel events
    if (!readId(t[2], m_hexBase, f.id, f.extended, reason))
        return TraceLine::Malformed;
    f.idStart = int(t[2].begin - begin);
    f.idLength = t[2].size;
    if (n >= 5 && (t[4].is("r") || t[4].is("R"))) {
        f.remote = true;
        return TraceLine::Frame;
    }
    quint32 dlc = 0;
    if (n < 6 || !t[4].is("d") || !readNumber(t[5], 16, dlc) || dlc > 15) {
        reason = Catalog::messages().text(TextId::TraceDlcExpected);
        return TraceLine::Malformed;
    }
    const int bytes = int(std::min<quint32>(dlc, 8));
    if (6 + bytes > n) {
        reason = Catalog::messages().text(TextId::TraceTooFewBytes).arg(dlc);
        return TraceLine::Malformed;
    }
    for (int b = 0; b < bytes; ++b) {
        quint32 v = 0;
        if (t[6 + b].size != 2 || !readNumber(t[6 + b], 16, v)) {
            reason = Catalog::messages().text(TextId::TraceByteNotHex).arg(b + 1);
            return TraceLine::Malformed;
        }
    }
    f.dataBytes = bytes;
    return TraceLine::Frame;
}

void AscReader::writeLine(QByteArray &out, const char *begin, const char *end, const TraceFrame &f, quint32 id,
                          bool extended) const
{
    out.append(begin, f.idStart);
    const char *rest = begin + f.idStart + f.idLength;
    const char *lineBreak = end - 1;
    const int before = int(out.size());
    if (m_hexBase)
        TraceText::appendHex(out, id, 1);
    else
        out.append(QByteArray::number(id));
    if (extended)
        out.append('x');
    const int grown = int(out.size()) - before - f.idLength;
    if (grown < 0) {
        out.append(QByteArray(-grown, ' '));
    } else {
        int eat = grown;
        while (eat > 0 && rest + 1 < lineBreak && TraceText::isBlank(rest[0]) && TraceText::isBlank(rest[1])) {
            ++rest;
            --eat;
        }
    }
    out.append(rest, int(end - rest));
}
