#include "cli/StdStreams.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

namespace Cli {

void setBinary(std::FILE *stream)
{
#ifdef Q_OS_WIN
    _setmode(_fileno(stream), _O_BINARY);
#else
    Q_UNUSED(stream)
#endif
}

qint64 StdinDevice::readData(char *data, qint64 maxSize)
{
    const size_t got = std::fread(data, 1, size_t(maxSize), stdin);
    if (got == 0 && std::ferror(stdin)) {
        setErrorString(QStringLiteral("the standard input could not be read"));
        return -1;
    }
    return qint64(got);
}

} // namespace Cli
