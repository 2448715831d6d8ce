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

} // namespace Cli
