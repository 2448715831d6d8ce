#pragma once

#include <QColor>
#include <QFont>

class QLabel;
class QWidget;

// The look every window shares: warm off-white background, Verdana 11 px, grey header.
namespace WindowStyle {

inline QColor background()
{
    return QColor(248, 247, 237);
}
inline QColor headerGrey()
{
    return QColor(128, 128, 128);
}
inline QColor darkGrey()
{
    return QColor(51, 51, 51);
}
QFont baseFont();
QFont codeFont(); // the product code in headers: Verdana 32 px

void apply(QWidget *window);

// The header panel `P_Title` (69 px) across the top of `window`, holding `L_SW_Code` at
// (16, 8) and `L_SW_Desc` at (16, 42). Returns the panel; the labels are its children.
QWidget *createHeader(QWidget *window, const QString &code, QLabel **codeLabel = nullptr, QLabel **descLabel = nullptr);

// Moves a label left, when its text would run past the right edge of its parent, so that it
// ends `margin` pixels from that edge (never further left than `minLeft`).
void keepInside(QWidget *label, int margin, int minLeft);

// The button panel `P_Button` (40 px) across the bottom of `window`; buttons sit 6 px below
// its top, 28 px high. The caller places the buttons and keeps the panel at the bottom.
QWidget *createButtonPanel(QWidget *window);

inline constexpr int HeaderHeight = 69;
inline constexpr int ButtonPanelHeight = 40;
inline constexpr int ButtonTop = 6;
inline constexpr int ButtonHeight = 28;
inline constexpr int ButtonWidth = 110;

} // namespace WindowStyle
