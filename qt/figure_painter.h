// The explanation's figures on a QPainter: the drawing instructions carried
// out as they are, scaled uniformly into a rectangle. The same calls draw on
// the screen and on a printer.
#pragma once

#include <QPainter>
#include <QRectF>

#include "explain.h"

namespace zelvane {

// Where the figure stands in `target`: its scale and top left corner, the
// figure centred in it.
struct FigurePlace {
    double scale = 1;
    QPointF origin;
    QPointF ToScreen(explain::Point p) const { return origin + QPointF(p.x, p.y) * scale; }
    explain::Point ToFigure(QPointF p) const {
        return {(p.x() - origin.x()) / scale, (p.y() - origin.y()) / scale};
    }
};
FigurePlace PlaceFigure(const explain::Figure& figure, const QRectF& target);

// Draws the figure's shapes shown while `selected` is selected, then the
// selection's shapes; in print, the print palette.
void PaintFigure(QPainter& painter, const explain::Figure& figure, const FigurePlace& place, std::size_t selected,
                 const std::vector<explain::Shape>& selection, bool print = false);

}  // namespace zelvane
