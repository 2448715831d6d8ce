#pragma once

#include "ui/widgets/Pictures.h"

#include <QPushButton>

// The push button every window uses: one of our pictures beside the caption, hot-tracking
// when the pointer is over it, a pressed look while held down, and its hint as tooltip.
// A flat button (setFlat) shows its frame only while hot or pressed: the icon buttons of
// the main window's header.
class StyledButton : public QPushButton
{
    Q_OBJECT
public:
    using Picture = Pictures::Picture;
    static constexpr Picture LastPicture = Pictures::LastPicture;

    // How the button looks right now; painting follows it.
    enum class Look { Normal, Hot, Pressed, Disabled };

    explicit StyledButton(const QString &objectName, Picture picture, QWidget *parent = nullptr);

    void setPicture(Picture picture);
    Picture picture() const { return m_picture; }
    // The hint shows as tooltip.
    void setHint(const QString &hint) { setToolTip(hint); }
    QString hint() const { return toolTip(); }

    // Picture and caption centred (the default) or starting at the left edge.
    void setCaptionAlignment(Qt::Alignment alignment);
    Qt::Alignment captionAlignment() const { return m_alignment; }

    Look look() const;
    // True when the caption shows whole beside the picture, not shortened.
    bool captionFits() const;

    // The icon drawn for a picture; it scales to any size (`size` is the preferred one).
    static QIcon icon(Picture picture, int size = 24);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    int captionRoom() const; // the width left for the caption beside the picture
    Picture m_picture = Picture::None;
    Qt::Alignment m_alignment = Qt::AlignHCenter;
    bool m_hot = false;
};
