#pragma once

#include <QString>
#include <QStringList>

// Splits a dotted IPv4 text into its four parts. Each part is trimmed (codes of 32 or less)
// and must read as integer text from 0 to 255; the parts come back as those trimmed texts,
// not as numbers. Returns false, leaving `parts` untouched, when the text does not qualify.
bool Split_IP_Address(const QString &text, QStringList *parts = nullptr);
