#pragma once

#include <QString>

struct AppState;

namespace ProjectBuild {

// The open project's build, as Step 4 and `praxedo-cli build` run it: under the project lock,
// the builder (ConfigBuilder) reads the project's two documents and writes bank1.bin ..
// bank5.bin, bankg.c and bank_K60.bin into its bin folder.
// Returns an empty text on success, else the message to show (nothing was written then).
QString buildAndWrite(const AppState &state);

} // namespace ProjectBuild
