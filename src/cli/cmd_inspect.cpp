#include "cli/Commands.h"

#include "core/base/FileIo.h"
#include "core/device/ImageInspector.h"

#include <QDir>
#include <QFileInfo>

namespace Cli {

int cmdInspect(const QStringList &args, Io &io)
{
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-'))) {
        io.err << "Usage: praxedo-cli inspect FILE\n";
        return 1;
    }
    const QString &path = args.first();
    const QString shown = QFileInfo(path).fileName();
    QByteArray bytes;
    // Anything much larger than an image is the wrong file; no need to read it whole.
    const QString readError = FileIo::readFile(path, bytes, 1024 * 1024);
    if (!readError.isEmpty()) {
        io.err << readError << '\n';
        return 2;
    }
    const ImageInspector::Result result = ImageInspector::inspect(bytes, shown);
    io.out << result.text;
    io.out.flush();
    if (!result.problem.isEmpty()) {
        io.err << shown << ": " << result.problem << '\n';
        return 2;
    }
    return 0;
}

} // namespace Cli
