// The floor of any window that shows text: an empty Qt Widgets window with
// one Cyrillic label in the program's font. Compared with the empty window,
// it shows what the toolkit's text stack (fontconfig, the font database,
// the first font face and shaping) costs before anything of the program's
// own.
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFont(QFont(QStringLiteral("Times New Roman"), 12));
    QLabel label(QStringLiteral(u"Информатика - брой знаци при делене"), &window);
    label.adjustSize();
    window.show();
    return QApplication::exec();
}
