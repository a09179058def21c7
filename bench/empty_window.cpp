// The floor for start-up and memory: what Qt Widgets itself costs for an
// empty window, built and linked the same way as the program.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.show();
    return QApplication::exec();
}
