#include "figure_painter.h"

#include <QPainterPath>
#include <QPolygonF>

namespace zelvane {
namespace {

using explain::Ink;
using explain::Shape;
using explain::ShapeKind;

QColor ColourOf(Ink ink, bool print) {
    const explain::Rgb rgb = explain::Colour(ink, print);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

void Draw(QPainter& painter, const explain::Figure& figure, const FigurePlace& place, const Shape& s, bool print) {
    const double k = place.scale;
    painter.setPen(s.stroke == Ink::kNone ? QPen(Qt::NoPen) : QPen(ColourOf(s.stroke, print), s.width * k, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    painter.setBrush(s.fill == Ink::kNone ? QBrush(Qt::NoBrush) : QBrush(ColourOf(s.fill, print)));
    switch (s.kind) {
        case ShapeKind::kCircle:
            painter.drawEllipse(place.ToScreen(s.at), s.radius * k, s.radius * k);
            break;
        case ShapeKind::kLine:
            painter.drawLine(place.ToScreen(s.at), place.ToScreen(s.to));
            break;
        case ShapeKind::kPolygon:
        case ShapeKind::kPolyline: {
            QPolygonF polygon;
            for (std::size_t i = s.first; i < s.first + s.count; ++i) {
                polygon << place.ToScreen(figure.points[i]);
            }
            if (s.kind == ShapeKind::kPolygon) {
                painter.drawPolygon(polygon);
            } else {
                painter.drawPolyline(polygon);
            }
            break;
        }
        case ShapeKind::kArc: {
            // Qt's angles run counter-clockwise, in sixteenths of a degree.
            const QPointF c = place.ToScreen(s.at);
            const double r = s.radius * k;
            painter.setBrush(Qt::NoBrush);
            painter.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), static_cast<int>(-s.start * 16),
                            static_cast<int>(-s.sweep * 16));
            break;
        }
        case ShapeKind::kText: {
            QFont font = painter.font();
            font.setPixelSize(std::max(1, static_cast<int>(s.size * k + 0.5)));
            font.setBold(s.bold);
            painter.setFont(font);
            painter.setPen(ColourOf(s.stroke, print));
            const QPointF at = place.ToScreen(s.at);
            const double wide = 4000;
            const double high = s.size * k * 2;
            const QRectF box = s.align == explain::Align::kLeft    ? QRectF(at.x(), at.y() - high / 2, wide, high)
                               : s.align == explain::Align::kRight ? QRectF(at.x() - wide, at.y() - high / 2, wide, high)
                                                                   : QRectF(at.x() - wide / 2, at.y() - high / 2, wide, high);
            const Qt::Alignment align = s.align == explain::Align::kLeft    ? Qt::AlignLeft
                                        : s.align == explain::Align::kRight ? Qt::AlignRight
                                                                            : Qt::AlignHCenter;
            painter.drawText(box, align | Qt::AlignVCenter, QString::fromStdString(s.text));
            break;
        }
    }
}

}  // namespace

FigurePlace PlaceFigure(const explain::Figure& figure, const QRectF& target) {
    FigurePlace place;
    if (figure.width <= 0 || figure.height <= 0) {
        return place;
    }
    place.scale = std::min(target.width() / figure.width, target.height() / figure.height);
    place.origin = target.center() - QPointF(figure.width, figure.height) * place.scale / 2;
    return place;
}

void PaintFigure(QPainter& painter, const explain::Figure& figure, const FigurePlace& place, std::size_t selected,
                 const std::vector<explain::Shape>& selection, bool print) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const Shape& shape : figure.shapes) {
        if (explain::Shown(shape, selected)) {
            Draw(painter, figure, place, shape, print);
        }
    }
    for (const Shape& shape : selection) {
        Draw(painter, figure, place, shape, print);
    }
    painter.restore();
}

}  // namespace zelvane
