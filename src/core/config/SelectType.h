#pragma once

#include <QString>

// The device type as the main window's Step 4 reads it from ParGen.xml: 1 when the file
// does not exist, 0 when the element is missing or unreadable. A file that cannot be read
// or parsed sets `error` (and the update must stop).
int Select_Type(const QString &fileParGen, QString *error = nullptr);
