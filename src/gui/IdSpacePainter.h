#pragma once

#include "core/device/FilterImage.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QString>

class QPainter;

// The 2048 11-bit identifiers of one direction as 64 x 32 cells, identifier 64 * row + column,
// coloured by what the device does with them. Needs Qt Gui only, so the command line draws
// the same picture as the filter window.
namespace IdSpacePainter {

inline constexpr int Columns = 64;
inline constexpr int Rows = 32;

QColor colour(FilterImage::Fate fate);
QString label(FilterImage::Fate fate); // "Pass", "Block", "Remapped"

// The cells alone, filling `area`; no text, so it works without fonts.
void paintCells(QPainter &painter, const QRectF &area, const FilterImage::IdSpace &space);
// The identifier of the cell under `point`, or -1 outside `area`.
int idAt(const QRectF &area, const QPointF &point);

// The whole picture: `title`, the cells with the first identifier of every fourth row and
// column, and a legend with the count of each fate. Drawing text needs a QGuiApplication.
QImage render(const FilterImage::IdSpace &space, const QString &title);
// Where render puts the cells in its picture.
QRect renderedCellArea();

} // namespace IdSpacePainter
