#pragma once

#include <QString>

// The external flash programming tool. This program fixes only where the tool lies, that it is
// started without waiting, and its two parameters: the full path of the S-record file to
// program and the zero-based index of the serial port in "COM1" .. "COM8".
namespace FlashTool {

inline constexpr char16_t ProgramName[] = u"Burnquill.exe";

// The tool in the executable's folder (same name on every platform).
QString programPath(const QString &dirExe);

// The parameters as one command-line text: the quoted file path, a blank, the port index.
QString parameterText(const QString &file, int port);

// Starts the tool and returns at once; empty on success, else why it did not start.
QString startDetached(const QString &program, const QString &file, int port);

} // namespace FlashTool
