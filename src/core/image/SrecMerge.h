#pragma once

#include "core/device/facts/DeviceFacts.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>

// Puts configuration banks into a copy of the device firmware (Motorola S-records): the
// firmware's data records inside a bank's address range are replaced by the bank file,
// re-encoded as 32-byte S2 records. Nothing here shows anything: every step returns the
// text to show, and the caller decides how.
namespace SrecMerge {

using DeviceFacts::BankCount;
using DeviceFacts::BankSize;
inline constexpr int RecordData = 32;
inline constexpr int RecordsPerBank = BankSize / RecordData;
// "S224" + 6 address digits + 64 data digits + 2 checksum digits.
inline constexpr int RecordLength = 76;

// The device's 24-bit address space written as S-records takes at most about 45 MB of text;
// a firmware file larger than this is refused unread. The merge holds the source and the
// result in memory, so a file of any line length costs at most about three times this.
inline constexpr qint64 MaxFileBytes = 64ll * 1024 * 1024;

// The device firmware's file name; the file lies in the MASTER folder.
inline constexpr char16_t Name_Firmware[] = u"FX58104.sx";

// First device address of bank 1..5; the bank covers BankSize bytes from there.
quint32 bankFirstAddress(int bank);

// A progress bar's two values; the window forwards them to its bar. Either may be left empty.
struct Progress
{
    std::function<void(int)> setMaximum;
    std::function<void(int)> setValue;
};

// The file names the generate-firmware window hands to the merge.
struct SxFiles
{
    QString Dir_Master;    // folder of the firmware file
    QString NomeFileSx;    // firmware file name, without folder
    QString NomeFileSxNew; // name of the new firmware file
    QString NomeDirSxNew;  // folder of the new file and of the intermediate files
    QString NomeDirBin;    // the project's bin folder, or empty when it had none
    // Banks merged by the chain; the others are passed through untouched.
    std::array<bool, BankCount> banks{{true, true, false, false, false}};
    // A merged bank whose range holds no data record of the firmware stops the chain: the new
    // file would lack that configuration. A caller that knows better lets the chain go on.
    bool allowMissingBank = false;

    QString sourcePath() const;  // the firmware file
    QString newFilePath() const; // the new firmware file
};

// The names as the window sets them for a project: the firmware `firmwareName` in
// `dirMaster`, "New_" + that name in the project folder, and the bin folder when it exists.
SxFiles filesFor(const QString &dirProject, const QString &dirMaster, const QString &firmwareName);

struct Outcome
{
    int result = -1;        // -1 stopped, 0 bank range absent from the source, 1 bank inserted
    QString message;        // why the step stopped; empty when it did not
    bool fileError = false; // the message is a file system error rather than one of the step's own texts
    bool stopped() const { return result < 0; }
};

// Writes the standard S-record checksum over the last two characters of `record` (placeholders)
// and returns it; returns an empty text and leaves `record` alone when it is not hexadecimal.
QString Sx_Checksum(QString &record);

// The bank as RecordsPerBank S2 records from `first`, each ending in CR LF. `bank` must hold
// BankSize bytes.
QByteArray bankRecords(quint32 first, const QByteArray &bank);

// The merge of one bank on text already in memory: `source` is the firmware text, `records`
// the bank's records (bankRecords). Lines are accepted with CR LF, LF or CR and written with
// CR LF. A data record (S1, S2, S3) that runs over an edge of the bank's range is split there:
// its bytes outside the range stay, those inside give way to the bank. A record count (S5,
// S6) is written anew for the data records before it. The first end record (S7, S8, S9) must
// be an S9 and only empty lines may follow it. `sourceName` names the file in the messages,
// which give the line and what it holds after the fixed text.
struct TextMerge
{
    QByteArray bytes;
    int result = -1;
    QString message; // set whenever result is -1
};
TextMerge mergeText(const QByteArray &source, int bank, const QByteArray &records, const Progress &progress = {},
                    const QString &sourceName = QString());

// The text stopping a chain whose firmware has no data in a merged bank's range.
QString missingBankMessage(int bank, const QString &firmwareName);

// One step of the chain: merges bank `bank` (1..5) into `source` and writes the result as
// `destinationName` in files.NomeDirSxNew. The destination is replaced only by a complete
// result; a stopped step leaves whatever was there before.
Outcome Merge_Bank(int bank, const QString &source, const QString &destinationName, const SxFiles &files,
                   const Progress &progress = {});

struct ChainOutcome
{
    int result = -1; // -1 a step stopped the chain, 1 the new firmware file was written
    QString message; // the stopping step's message
    bool fileError = false;
    std::array<int, BankCount> bankResults{{-1, -1, -1, -1, -1}}; // each step's result, -1 when it did not run
    bool stopped() const { return result < 0; }
};

// The whole chain: banks 1 to 5 in turn, the result written to files.NomeFileSxNew only when
// every step went through. The firmware file is never changed, and B1.sx .. B5.sx, the names
// earlier versions gave their intermediate results, do not survive the call.
ChainOutcome runChain(const SxFiles &files, const Progress &progress = {});

} // namespace SrecMerge
