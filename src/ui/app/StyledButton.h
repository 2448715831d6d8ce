#pragma once

#include <QPushButton>

// The push button every window uses: a picture beside the caption, hot-tracking when the
// pointer is over it, and its hint as tooltip.
class StyledButton : public QPushButton
{
    Q_OBJECT
public:
    enum class Picture {
        None,
        Ok,
        Cancel,
        New,
        Open,
        Communication,
        Filter,
        Update,
        Info,
        Options,
        Close,
        DeleteRow,
        InsertRow,
        CopyRow,
        PasteRow,
        CompileAll,
        CancelAll,
        Previous,
        Next,
        Check,
        Import,
        Export,
    };

    explicit StyledButton(const QString &objectName, Picture picture, QWidget *parent = nullptr);

    void setPicture(Picture picture);
    Picture picture() const { return m_picture; }
    // The hint shows as tooltip.
    void setHint(const QString &hint) { setToolTip(hint); }

    // The icon drawn for a picture (also used by the screenshots and the About window).
    static QIcon icon(Picture picture, int size = 24);

private:
    Picture m_picture = Picture::None;
};
