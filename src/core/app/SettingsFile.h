#pragma once

#include <QByteArray>
#include <QString>

struct AppState;

// Praxedo.xml beside the executable: the last project, device address, language and the
// four option flags.
namespace SettingsFile {

QString fileName(); // "Praxedo.xml"

// Reads each value on its own; a missing node gives that value's default. A file that is
// missing or not well-formed leaves the defaults (returns false for the latter).
bool read(AppState &state, const QString &path);
void readBytes(AppState &state, const QByteArray &bytes, bool *wellFormed = nullptr);

// The document written at close and after the options are confirmed.
QByteArray bytes(const AppState &state);
// Saves atomically; empty text on success, else the reason naming the file.
QString write(const AppState &state, const QString &path);

// The defaults of a first start.
void setDefaults(AppState &state);

} // namespace SettingsFile
