#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>

// Puts configuration banks into a copy of the device firmware (Motorola S-records): the
// firmware's data records inside a bank's address range are replaced by the bank file,
// re-encoded as 32-byte S2 records. Nothing here shows anything: every step returns the
// text to show, and the caller decides how.
namespace SrecMerge {

inline constexpr int BankCount = 5;
inline constexpr int BankSize = 16384;
inline constexpr int RecordData = 32;
inline constexpr int RecordsPerBank = BankSize / RecordData;
// "S224" + 6 address digits + 64 data digits + 2 checksum digits.
inline constexpr int RecordLength = 76;

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
// the bank's records (bankRecords). Lines are accepted with CR LF or LF and written with CR LF.
struct TextMerge
{
    QByteArray bytes;
    int result = -1;
    QString message;
};
TextMerge mergeText(const QByteArray &source, int bank, const QByteArray &records,
                    const Progress &progress = {});

// One step of the chain: merges bank `bank` (1..5) into `source` and writes the result as
// `destinationName` in files.NomeDirSxNew. The destination is replaced only by a complete
// result; a stopped step leaves whatever was there before.
Outcome Merge_Bank(int bank, const QString &source, const QString &destinationName,
                   const SxFiles &files, const Progress &progress = {});

struct ChainOutcome
{
    int result = -1;        // -1 a step stopped the chain, 1 the new firmware file was written
    QString message;        // the stopping step's message
    bool fileError = false;
    std::array<int, BankCount> bankResults{{-1, -1, -1, -1, -1}}; // each step's result, -1 when it did not run
    bool stopped() const { return result < 0; }
};

// The whole chain: banks 1 to 5 in turn through B1.sx .. B4.sx to files.NomeFileSxNew. The
// firmware file is never changed, and no intermediate file survives the call.
ChainOutcome runChain(const SxFiles &files, const Progress &progress = {});

} // namespace SrecMerge
