// A push button painted flat in one colour of its own, with a black
// caption, a dotted focus mark and a sunken look while pressed; grey while
// unavailable. Styles paint gradients, so the button paints itself.
#pragma once

#include <QColor>
#include <QPushButton>

namespace zelvane {

class FlatButton : public QPushButton {
    Q_OBJECT

public:
    FlatButton(const QString& caption, const QColor& colour, QWidget* parent = nullptr);

    // The colour the face is painted in now: the button's own colour, or
    // grey while it is unavailable.
    QColor FaceColour() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Enter clicks the focused button, as the window description says.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QColor colour_;
};

}  // namespace zelvane
