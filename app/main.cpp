// The program: one window, the worksheet, and the event loop.
#include <QApplication>
#include <QIcon>
#include <QStyleFactory>

#include "form_texts.h"
#include "zelvane_config.h"
#include "zelvane_form.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zelvane"));
    QApplication::setApplicationVersion(QStringLiteral(ZELVANE_VERSION_TEXT));
    QApplication::setDesktopFileName(QStringLiteral("zelvane"));
    // Fusion paints buttons in their palette colour on every platform.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    zelvane::Zelvane window(zelvane::texts::WindowCaption(QStringLiteral(ZELVANE_PUBLISHER_URL)));
    window.setWindowIcon(QIcon(QStringLiteral(":/icons/zelvane.png")));
    window.show();
    return QApplication::exec();
}
