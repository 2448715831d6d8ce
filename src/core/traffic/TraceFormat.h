#pragma once

// The formats a trace is replayed from, told apart by content: the first line that is not
// blank decides, and the whole trace is read by that format's reader.
enum class TraceFormat { Unknown, Candump, Asc };

// `first` is the first character of that line that is not blank; `end` is the end of its content.
TraceFormat traceFormatOf(const char *first, const char *end);
