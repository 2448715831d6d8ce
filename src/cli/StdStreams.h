#pragma once

#include <cstdio>

// Standard input and output carry traces byte for byte: Windows opens them in text mode,
// which would turn every line break of a written trace into CR CR LF.
#include <QIODevice>

namespace Cli {
void setBinary(std::FILE *stream);

// Standard input as a sequential device read through the C library: a QFile on stdin fails
// on a pipe under Windows ("Invalid argument").
class StdinDevice : public QIODevice
{
public:
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }
};
} // namespace Cli
