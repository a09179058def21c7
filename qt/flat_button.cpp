#include "flat_button.h"

#include <QKeyEvent>
#include <QPainter>

#include "qt_description.h"

namespace zelvane {

FlatButton::FlatButton(const QString& caption, const QColor& colour, QWidget* parent)
    : QPushButton(caption, parent), colour_(colour) {
    setAutoDefault(false);
}

QColor FlatButton::FaceColour() const { return isEnabled() ? colour_ : Colour(form::kUnavailableButton); }

void FlatButton::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && form::kEnterClicksFocusedButton && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void FlatButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect face = rect();
    painter.fillRect(face, FaceColour());

    // A one-pixel bevel: light above and left, dark below and right; the
    // other way round while pressed. Lines are cosmetic, so they stay one
    // device pixel wide, and crisp, at any scale factor.
    const bool down = isDown() || isChecked();
    const QColor light = down ? Qt::black : Qt::white;
    const QColor dark = down ? Qt::white : Qt::black;
    const QRectF edge = QRectF(face).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(light, 0));
    painter.drawLine(edge.topLeft(), edge.topRight());
    painter.drawLine(edge.topLeft(), edge.bottomLeft());
    painter.setPen(QPen(dark, 0));
    painter.drawLine(edge.bottomLeft(), edge.bottomRight());
    painter.drawLine(edge.topRight(), edge.bottomRight());

    // The caption moves one pixel down and right while pressed.
    QRect textRect = face;
    if (down) {
        textRect.translate(1, 1);
    }
    painter.setPen(Colour(isEnabled() ? form::kButtonText : form::kUnavailableButtonText));
    painter.setFont(font());
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextShowMnemonic, text());

    // The focus mark: a dotted black frame inside the bevel, visible on
    // every face colour.
    if (hasFocus()) {
        painter.setPen(QPen(Qt::black, 0, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(face).adjusted(3.5, 3.5, -3.5, -3.5));
    }
}

}  // namespace zelvane
