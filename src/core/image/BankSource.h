#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// bankg.c: banks 1 to 4 as C arrays for the firmware build, 4103 lines ending in CR LF.
namespace BankSource {

constexpr int LineCount = 4103;

// The first four of `banks`, each 16384 bytes; bank 5 is never part of the source.
QByteArray Write_Bank_Source(const QByteArray banks[4]);
QString Write_Bank_Source(const QByteArray banks[4], QIODevice &device);

} // namespace BankSource
