#pragma once

#include <QUrl>

#include <functional>

// Opens web addresses in the user's browser; tests replace the opener so nothing starts.
namespace Links {
void open(const QUrl &url);
void setOpener(std::function<void(const QUrl &)> opener); // empty restores the browser
} // namespace Links
