#pragma once

#include <QPixmap>
#include <QRectF>

class QPainter;

// Our own pictures, drawn with QPainter so they stay sharp at every size and need no
// image files. Each is designed on a 24 x 24 grid and scaled into the box it is given.
namespace Pictures {

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
inline constexpr Picture LastPicture = Picture::Export;

void paint(QPainter &painter, const QRectF &box, Picture picture);

// The product as the About window shows it: the repeater module with its two CAN ports.
void paintProduct(QPainter &painter, const QRectF &box);
QPixmap product(int size);

} // namespace Pictures
