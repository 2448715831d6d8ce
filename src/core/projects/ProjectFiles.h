#pragma once

#include <QString>

struct AppState;

// The files a project keeps: its two documents, what a build writes into bin, the merged
// firmware (New_ and the firmware's name) and the lock. No command's output and no exported
// file may take the place of one of them.
namespace ProjectFiles {

QString mergedFirmwarePrefix(); // "New_"

// The project file that saving to `output` would replace; empty when it replaces none.
QString replacedBy(const AppState &state, const QString &output);

// The catalog's refusal naming that file; empty when `output` may be written.
QString refuseOutput(const AppState &state, const QString &output);

} // namespace ProjectFiles
