#pragma once

#include "core/device/FilterImage.h"
#include "gui/IdSpacePainter.h"

#include <QColor>
#include <QImage>
#include <QRect>

// Reads a picture of the identifier space back, cell by cell, for the painter's tests and the
// map command's.
namespace IdSpaceCheck {

using Fate = FilterImage::Fate;

// The colour in the middle of the cell of `id`.
inline QColor cellColour(const QImage &picture, const QRect &cells, int id)
{
    const qreal w = qreal(cells.width()) / IdSpacePainter::Columns;
    const qreal h = qreal(cells.height()) / IdSpacePainter::Rows;
    const int column = id % IdSpacePainter::Columns;
    const int row = id / IdSpacePainter::Columns;
    const QPointF centre(cells.left() + (column + 0.5) * w, cells.top() + (row + 0.5) * h);
    return picture.pixelColor(centre.toPoint());
}

// Every cell shows its identifier's fate.
inline bool showsSpace(const QImage &picture, const QRect &cells, const FilterImage::IdSpace &space)
{
    for (int id = 0; id < int(space.size()); ++id) {
        if (cellColour(picture, cells, id) != IdSpacePainter::colour(space[size_t(id)])) {
            qWarning("cell %d shows the wrong colour", id);
            return false;
        }
    }
    return true;
}

} // namespace IdSpaceCheck
