#pragma once

#include <cstdio>

// Standard input and output carry traces byte for byte: Windows opens them in text mode,
// which would turn every line break of a written trace into CR CR LF.
namespace Cli {
void setBinary(std::FILE *stream);
} // namespace Cli
