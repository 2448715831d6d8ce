#pragma once

#include "ui/widgets/StyledButton.h"

#include <QPixmap>
#include <QRectF>

class QPainter;

// Our own pictures, drawn with QPainter so they stay sharp at every size and need no
// image files. Each is designed on a 24 x 24 grid and scaled into the box it is given.
namespace Pictures {

void paint(QPainter &painter, const QRectF &box, StyledButton::Picture picture);

// The product as the About window shows it: the repeater module with its two CAN ports.
void paintProduct(QPainter &painter, const QRectF &box);
QPixmap product(int size);

} // namespace Pictures
