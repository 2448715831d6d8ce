#include "core/projects/ProjectFiles.h"

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "core/base/FileIo.h"
#include "core/base/Paths.h"
#include "core/device/facts/DeviceFacts.h"
#include "core/projects/ProjectLock.h"

#include <QDir>
#include <QFileInfo>

namespace ProjectFiles {

QString mergedFirmwarePrefix()
{
    return QStringLiteral("New_");
}

QString replacedBy(const AppState &state, const QString &output)
{
    if (state.Dir_Project.isEmpty())
        return QString();
    QStringList files{state.File_ParGen, state.File_CobID, joinPath(state.Dir_Project, ProjectLock::fileName())};
    for (int k = 1; k <= DeviceFacts::BankCount; ++k)
        files.append(joinPath(state.binDir(), QString::fromLatin1(DeviceFacts::BankFilePattern).arg(k)));
    files.append(joinPath(state.binDir(), QString::fromLatin1(DeviceFacts::BankSourceFileName)));
    files.append(joinPath(state.binDir(), QString::fromLatin1(DeviceFacts::ImageFileName)));
    for (const QString &file : files)
        if (FileIo::wouldReplace(output, file))
            return file;
    // The merged firmware takes the name of whichever firmware was chosen.
    const QFileInfo out(output);
    if (out.fileName().startsWith(mergedFirmwarePrefix(), FileIo::FileNameCase)
        && FileIo::wouldReplace(output, joinPath(state.Dir_Project, out.fileName())))
        return joinPath(state.Dir_Project, out.fileName());
    return QString();
}

QString refuseOutput(const AppState &state, const QString &output)
{
    const QString file = replacedBy(state, output);
    if (file.isEmpty())
        return QString();
    return Catalog::messages().text(TextId::OutputIsProjectFile).arg(QDir::toNativeSeparators(file));
}

} // namespace ProjectFiles
