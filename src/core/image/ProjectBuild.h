#pragma once

#include <QString>

struct AppState;

namespace ConfigBuild {

// Step 4's build: builds the banks and the configuration image from the project's two
// documents and writes bank1.bin .. bank5.bin, bankg.c and bank_K60.bin into its bin folder.
// Returns an empty text on success, else the message to show (nothing was written then).
QString buildAndWrite(const AppState &state);

} // namespace ConfigBuild
