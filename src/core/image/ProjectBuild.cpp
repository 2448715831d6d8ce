#include "core/image/ProjectBuild.h"

#include "core/app/AppState.h"
#include "core/image/ConfigBuilder.h"
#include "core/projects/ProjectLock.h"

namespace ProjectBuild {

QString buildAndWrite(const AppState &state)
{
    if (!state.projectOpen())
        return QStringLiteral("No project is open.");
    // Held from the reading of the documents to the last output, so that a save or another
    // build in between cannot give banks of two different builds.
    ProjectLock lock(state.Dir_Project);
    if (!lock.acquire())
        return lock.refusal();
    return configBuilder().buildAndWrite(state.File_ParGen, state.File_CobID, state.binDir());
}

} // namespace ProjectBuild
