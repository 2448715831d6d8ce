#include "core/image/ConfigBuild.h"

#include "core/app/AppState.h"

namespace ConfigBuild {

QString buildAndWrite(const AppState &state)
{
    Q_UNUSED(state);
    return QString(); // placeholder until the image builder lands
}

} // namespace ConfigBuild
