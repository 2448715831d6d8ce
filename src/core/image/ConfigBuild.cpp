#include "core/image/ConfigBuild.h"

#include "core/app/AppState.h"
#include "core/image/ConfigBuilder.h"

namespace ConfigBuild {

QString buildAndWrite(const AppState &state)
{
    if (!state.projectOpen())
        return QStringLiteral("No project is open.");
    return configBuilder().buildAndWrite(state.File_ParGen, state.File_CobID, state.binDir());
}

} // namespace ConfigBuild
