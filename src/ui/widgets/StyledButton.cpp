#include "ui/widgets/StyledButton.h"

#include "ui/widgets/Pictures.h"
#include "ui/widgets/WindowStyle.h"

#include <QEnterEvent>
#include <QIconEngine>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

constexpr int Padding = 6;
constexpr int Gap = 6;

// Renders a picture at whatever size is asked; disabled buttons get a faded grey copy.
class PictureEngine : public QIconEngine
{
public:
    explicit PictureEngine(StyledButton::Picture picture)
        : m_picture(picture)
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        if (mode == QIcon::Disabled) {
            const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
            QPixmap pm = pixmap(rect.size() * dpr, mode, state);
            pm.setDevicePixelRatio(dpr);
            painter->drawPixmap(rect, pm);
            return;
        }
        Pictures::paint(*painter, rect, m_picture);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            Pictures::paint(p, QRectF(QPointF(0, 0), QSizeF(size)), m_picture);
        }
        if (mode == QIcon::Disabled) {
            for (int y = 0; y < image.height(); ++y) {
                auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
                for (int x = 0; x < image.width(); ++x) {
                    const int a = qAlpha(line[x]) * 2 / 5;
                    const int g = qGray(line[x]) * 2 / 5; // premultiplied with the new alpha
                    line[x] = qRgba(g, g, g, a);
                }
            }
        }
        return QPixmap::fromImage(image);
    }

    QIconEngine *clone() const override { return new PictureEngine(m_picture); }
    QString key() const override { return QStringLiteral("praxedo-picture"); }
    bool isNull() override { return m_picture == StyledButton::Picture::None; }

private:
    StyledButton::Picture m_picture;
};

struct Colours
{
    QColor border;
    QColor top;
    QColor bottom;
    QColor text;
};

Colours coloursFor(StyledButton::Look look)
{
    switch (look) {
    case StyledButton::Look::Hot:
        return {QColor(86, 138, 198), QColor(248, 251, 255), QColor(214, 230, 248), WindowStyle::darkGrey()};
    case StyledButton::Look::Pressed:
        return {QColor(52, 100, 160), QColor(190, 212, 238), QColor(222, 234, 248), WindowStyle::darkGrey()};
    case StyledButton::Look::Disabled:
        return {QColor(206, 204, 196), QColor(244, 243, 236), QColor(236, 235, 226), QColor(160, 160, 160)};
    case StyledButton::Look::Normal:
        break;
    }
    return {QColor(176, 173, 158), QColor(255, 255, 252), QColor(232, 230, 216), WindowStyle::darkGrey()};
}

} // namespace

StyledButton::StyledButton(const QString &objectName, Picture picture, QWidget *parent)
    : QPushButton(parent)
{
    setObjectName(objectName);
    setAttribute(Qt::WA_Hover);
    setIconSize(QSize(20, 20));
    setPicture(picture);
}

void StyledButton::setPicture(Picture picture)
{
    m_picture = picture;
    setIcon(icon(picture));
}

void StyledButton::setCaptionAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment & Qt::AlignHorizontal_Mask;
    update();
}

QIcon StyledButton::icon(Picture picture, int size)
{
    Q_UNUSED(size); // drawn, so every size is exact
    if (picture == Picture::None)
        return QIcon();
    return QIcon(new PictureEngine(picture));
}

StyledButton::Look StyledButton::look() const
{
    if (!isEnabled())
        return Look::Disabled;
    if (isDown() || isChecked())
        return Look::Pressed;
    if (m_hot)
        return Look::Hot;
    return Look::Normal;
}

QSize StyledButton::sizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    int w = 2 * Padding;
    int h = fm.height();
    if (!QAbstractButton::icon().isNull()) {
        w += iconSize().width();
        h = qMax(h, iconSize().height());
    }
    if (!text().isEmpty())
        // The exact width rounded up: the rounded advance can be a fraction short, and the
        // caption is then drawn elided.
        w +=
            (QAbstractButton::icon().isNull() ? 0 : Gap) + qCeil(QFontMetricsF(font(), this).horizontalAdvance(text()));
    return QSize(qMax(w, 2 * Padding + 16), qMax(h + 2 * Padding, 28));
}

QSize StyledButton::minimumSizeHint() const
{
    return QSize(2 * Padding + (QAbstractButton::icon().isNull() ? 0 : iconSize().width()),
                 2 * Padding + fontMetrics().height());
}

void StyledButton::enterEvent(QEnterEvent *event)
{
    m_hot = true;
    update();
    QPushButton::enterEvent(event);
}

void StyledButton::leaveEvent(QEvent *event)
{
    m_hot = false;
    update();
    QPushButton::leaveEvent(event);
}

void StyledButton::hideEvent(QHideEvent *event)
{
    // A window closed by this button is shown again later with the pointer elsewhere.
    m_hot = false;
    QPushButton::hideEvent(event);
}

int StyledButton::captionRoom() const
{
    const QRect content = rect().adjusted(Padding, 2, -Padding, -2);
    const bool hasIcon = !QAbstractButton::icon().isNull();
    const QSize is = hasIcon ? iconSize().boundedTo(content.size()) : QSize();
    return content.width() - (hasIcon ? is.width() + Gap : 0);
}

bool StyledButton::captionFits() const
{
    // Asked the way paintEvent draws it: eliding measures the caption's exact width, which
    // can pass the room by a fraction of a pixel where the rounded advance does not.
    return fontMetrics().elidedText(text(), Qt::ElideRight, qMax(0, captionRoom())) == text();
}

void StyledButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const Look current = look();
    const Colours c = coloursFor(current);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);

    if (!isFlat() || current == Look::Hot || current == Look::Pressed) {
        QLinearGradient fill(0, frame.top(), 0, frame.bottom());
        fill.setColorAt(0, c.top);
        fill.setColorAt(1, c.bottom);
        p.setPen(QPen(c.border, 1));
        p.setBrush(fill);
        p.drawRoundedRect(frame, 3, 3);
    }
    // Like the platform's own buttons: the focus mark only once the keyboard moved focus.
    if (hasFocus() && current != Look::Disabled && window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
        p.setPen(QPen(QColor(86, 138, 198, 160), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(frame.adjusted(2, 2, -2, -2), 2, 2);
    }

    // Picture and caption, moved by one pixel while pressed.
    QRect content = rect().adjusted(Padding, 2, -Padding, -2);
    if (current == Look::Pressed)
        content.translate(1, 1);
    const bool hasIcon = !QAbstractButton::icon().isNull();
    const QSize is = hasIcon ? iconSize().boundedTo(content.size()) : QSize();
    const QFontMetrics fm = fontMetrics();
    const QString caption = fm.elidedText(text(), Qt::ElideRight, qMax(0, captionRoom()));
    const int captionWidth = caption.isEmpty() ? 0 : fm.horizontalAdvance(caption);
    const int total = (hasIcon ? is.width() : 0) + (hasIcon && captionWidth ? Gap : 0) + captionWidth;
    int x = content.left();
    if (m_alignment & Qt::AlignHCenter)
        x += (content.width() - total) / 2;
    else if (m_alignment & Qt::AlignRight)
        x = content.right() + 1 - total;

    if (hasIcon) {
        const QRect iconRect(QPoint(x, content.top() + (content.height() - is.height()) / 2), is);
        QAbstractButton::icon().paint(&p, iconRect, Qt::AlignCenter,
                                      current == Look::Disabled ? QIcon::Disabled : QIcon::Normal);
        x += is.width() + Gap;
    }
    if (!caption.isEmpty()) {
        p.setPen(c.text);
        p.drawText(QRect(x, content.top(), captionWidth + 1, content.height()),
                   Qt::AlignVCenter | Qt::AlignLeft | Qt::TextShowMnemonic, caption);
    }
}

void StyledButton::keyPressEvent(QKeyEvent *event)
{
    // Return on the focused button presses it, as buttons do on Windows.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && isEnabled()) {
        event->accept();
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}
