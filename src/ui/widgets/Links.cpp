#include "ui/widgets/Links.h"

#include <QDesktopServices>

namespace {
std::function<void(const QUrl &)> &opener()
{
    static std::function<void(const QUrl &)> f;
    return f;
}
} // namespace

namespace Links {
void open(const QUrl &url)
{
    if (opener())
        opener()(url);
    else
        QDesktopServices::openUrl(url);
}

void setOpener(std::function<void(const QUrl &)> f)
{
    opener() = std::move(f);
}
} // namespace Links
