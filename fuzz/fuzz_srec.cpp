// The S-record merge on any firmware text, for every bank: it stops or ends at an S9 record
// followed by nothing but blank lines; a merge that went through writes only CR LF lines and
// holds the bank's records at most once, and once when it says so.
#include "FuzzCheck.h"

#include "core/image/SrecMerge.h"

#include <QList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray source = Fuzz::bytes(data, size);
    for (int bank = 1; bank <= SrecMerge::BankCount; ++bank) {
        static const QByteArray allRecords[SrecMerge::BankCount] = {
            SrecMerge::bankRecords(SrecMerge::bankFirstAddress(1), QByteArray(SrecMerge::BankSize, char(0x11))),
            SrecMerge::bankRecords(SrecMerge::bankFirstAddress(2), QByteArray(SrecMerge::BankSize, char(0x22))),
            SrecMerge::bankRecords(SrecMerge::bankFirstAddress(3), QByteArray(SrecMerge::BankSize, char(0x33))),
            SrecMerge::bankRecords(SrecMerge::bankFirstAddress(4), QByteArray(SrecMerge::BankSize, char(0x44))),
            SrecMerge::bankRecords(SrecMerge::bankFirstAddress(5), QByteArray(SrecMerge::BankSize, char(0x55))),
        };
        const QByteArray &records = allRecords[bank - 1];
        const SrecMerge::TextMerge merged = SrecMerge::mergeText(source, bank, records);
        FUZZ_CHECK(merged.result >= -1 && merged.result <= 1);
        if (merged.result < 0)
            continue;
        FUZZ_CHECK(merged.bytes.endsWith("\r\n"));
        FUZZ_CHECK(merged.bytes.count('\n') == merged.bytes.count("\r\n"));
        // The first end record is an S9, and only blank lines follow it.
        bool ended = false;
        for (const QByteArray &line : merged.bytes.split('\n')) {
            if (ended) {
                FUZZ_CHECK(line.isEmpty() || QByteArray(line).replace(' ', "").replace('\t', "") == "\r");
            } else if (line.size() >= 2 && line[0] == 'S' && line[1] >= '7' && line[1] <= '9') {
                FUZZ_CHECK(line[1] == '9');
                ended = true;
            }
        }
        FUZZ_CHECK(ended);
        const qsizetype inserted = merged.bytes.count(records);
        FUZZ_CHECK(inserted <= 1);
        FUZZ_CHECK(merged.result == 0 || inserted == 1);
    }
    QString line = QString::fromLatin1(source.left(80));
    const QString checksum = SrecMerge::Sx_Checksum(line);
    FUZZ_CHECK(checksum.isEmpty() || checksum.size() == 2);
    return 0;
}
