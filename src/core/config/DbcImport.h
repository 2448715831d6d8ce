#pragma once

#include "core/config/ImportedRow.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// CAN message identifiers from a DBC database: one row per "BO_ <id> <name>: <size>
// <transmitter>" line, in file order. Bit 31 of the DBC id marks a 29-bit identifier.
namespace DbcImport {

// The row of a message: Original CobID in hexadecimal (0x181, 0x18FEF100), its type, the
// message name as Mnemonic; with `fillModify` the Modify columns repeat the identifier and
// type, so the message passes unchanged. The pseudo message that collects unassigned signals
// (id 0xC0000000) is skipped. A malformed BO_ line is refused with "<shownName>, line N:
// <reason>"; so is a file that gives no row, saying what it holds (nothing, binary bytes, no
// BO_ line, a quote never closed that takes in the rest), and one whose unclosed quote takes in
// message lines. `rows` is set only when the whole file was read.
QString parse(const QByteArray &bytes, const QString &shownName, bool fillModify, std::vector<ImportedRow> &rows);

// Identifiers beyond 0x7FF without the 29-bit flag: many files leave the flag out of 29-bit
// messages. Refused, every such message is named in one message; or taken as 29-bit.
enum class WideIds { Refuse, As29Bit };

struct Report
{
    int wideIds = 0;      // messages beyond 0x7FF without the flag (refused or taken as 29-bit)
    QStringList warnings; // accepted oddities, e.g. a message name that is not a C identifier
};

// As above; the pseudo message is skipped by its name whatever its id, and a name that is
// not a C identifier is taken as it stands with a warning.
QString parse(const QByteArray &bytes, const QString &shownName, bool fillModify, std::vector<ImportedRow> &rows,
              WideIds wideIds, Report *report);

} // namespace DbcImport
