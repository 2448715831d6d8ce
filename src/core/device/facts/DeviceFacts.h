#pragma once

#include <QtGlobal>

#include <array>

// What the repeater is, as every reader and writer of its files must agree: the size of its
// filter tables, the identifiers it carries, the layout of its configuration image and banks,
// and the bit rates it runs.
namespace DeviceFacts {

// Rows of a filter table in the window, entries of a lookup table in the image, identifiers
// of the 11-bit space.
inline constexpr int TableRows = 2048;

inline constexpr quint32 Max11Bit = 0x7FF;
inline constexpr quint32 Max29Bit = 0x1FFFFFFF;
// Bit 31 of an identifier word in the image and in a table document: a 29-bit identifier.
inline constexpr quint32 ExtMark = 0x80000000u;

// The configuration image (bank_K60.bin): the two lookup tables of 8-byte entries, then the
// parameter block.
inline constexpr int TableEntrySize = 8;
inline constexpr int TableBytes = TableRows * TableEntrySize;
inline constexpr int ParBlockSize = 2048;
inline constexpr int ParBlockOffset = 2 * TableBytes;
inline constexpr int ImageSize = ParBlockOffset + ParBlockSize; // 34816

// The configuration banks the serial variants carry in their firmware.
inline constexpr int BankCount = 5;
inline constexpr int BankSize = 16384;

// The files a build writes into a project's bin folder: bank1.bin to bank5.bin, the banks as
// C source, the image.
inline constexpr const char BankFilePattern[] = "bank%1.bin";
inline constexpr const char BankSourceFileName[] = "bankg.c";
inline constexpr const char ImageFileName[] = "bank_K60.bin";

// The bit rates a port runs, by bit-rate index, in bit/s and as ParGen.xml's window shows them.
inline constexpr int BitRateCount = 9;
inline constexpr std::array<quint32, BitRateCount> BitRates = {10000,  20000,  50000,  100000, 125000,
                                                               250000, 500000, 800000, 1000000};
inline constexpr std::array<const char *, BitRateCount> BitRateNames = {"10K",  "20K",  "50K",  "100K", "125K",
                                                                        "250K", "500K", "800K", "1000K"};
// ParGen.xml's default, and what the device runs when the index is none of the above.
inline constexpr int FallbackBitRateIndex = 8;
inline constexpr quint32 FallbackBitRate = BitRates[FallbackBitRateIndex];
inline constexpr bool validBitRateIndex(int index)
{
    return index >= 0 && index < BitRateCount;
}
inline constexpr quint32 bitRate(int index)
{
    return BitRates[size_t(validBitRateIndex(index) ? index : FallbackBitRateIndex)];
}

} // namespace DeviceFacts
