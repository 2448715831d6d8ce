#include "ui/widgets/WindowStyle.h"

#include <QLabel>
#include <QPalette>
#include <QWidget>

namespace WindowStyle {

namespace {
// Verdana where it is installed; elsewhere DejaVu Sans, its closest free relative in
// shape and width, rather than whatever the system would pick.
QFont verdana(int pixelSize)
{
    QFont f(QStringLiteral("Verdana"));
    f.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"), QStringLiteral("Bitstream Vera Sans")});
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixelSize);
    return f;
}
} // namespace

QFont baseFont()
{
    return verdana(11);
}

QFont codeFont()
{
    return verdana(32);
}

void apply(QWidget *window)
{
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, background());
    window->setPalette(pal);
    window->setAutoFillBackground(true);
    window->setFont(baseFont());
}

QWidget *createHeader(QWidget *window, const QString &code, QLabel **codeLabel, QLabel **descLabel)
{
    auto *panel = new QWidget(window);
    panel->setObjectName(QStringLiteral("P_Title"));
    panel->setGeometry(0, 0, window->width(), HeaderHeight);

    auto *codeL = new QLabel(code, panel);
    codeL->setObjectName(QStringLiteral("L_SW_Code"));
    codeL->setFont(codeFont());
    QPalette pal = codeL->palette();
    pal.setColor(QPalette::WindowText, headerGrey());
    codeL->setPalette(pal);
    codeL->move(16, 8);
    codeL->adjustSize();

    auto *descL = new QLabel(panel);
    descL->setObjectName(QStringLiteral("L_SW_Desc"));
    QFont bold = baseFont();
    bold.setBold(true);
    descL->setFont(bold);
    descL->setPalette(pal);
    descL->move(16, 42);

    if (codeLabel)
        *codeLabel = codeL;
    if (descLabel)
        *descLabel = descL;
    return panel;
}

void keepInside(QWidget *label, int margin, int minLeft)
{
    const int limit = label->parentWidget()->width() - margin;
    if (label->x() + label->width() > limit)
        label->move(qMax(minLeft, limit - label->width()), label->y());
}

QWidget *createButtonPanel(QWidget *window)
{
    auto *panel = new QWidget(window);
    panel->setObjectName(QStringLiteral("P_Button"));
    panel->setGeometry(0, window->height() - ButtonPanelHeight, window->width(), ButtonPanelHeight);
    return panel;
}

} // namespace WindowStyle
