// The program: one window, the worksheet, and the event loop.
#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QStyleFactory>

#include "zelvane_icon_pixels.h"
#include "zelvane_config.h"
#include "qt_translation.h"
#include "termination.h"
#include "zelvane_form.h"

#if defined(ZELVANE_WARM_UP_FONTCONFIG)
#include <fontconfig/fontconfig.h>

#include <thread>
#endif

int main(int argc, char* argv[]) {
#if defined(ZELVANE_WARM_UP_FONTCONFIG)
    // Reading the system's font configuration is the largest single cost of
    // showing the first text. It needs no display, so it runs on a second
    // core while Qt connects to the display; fontconfig is thread-safe.
    std::thread fontConfigWarmUp([] { FcInit(); });
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zelvane"));
    QApplication::setApplicationVersion(QStringLiteral(ZELVANE_VERSION_TEXT));
    QApplication::setDesktopFileName(QStringLiteral("zelvane"));
    // One look on every desktop; the buttons paint their own colours.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    zelvane::InstallQtTranslation(app);
    zelvane::QuitOnTerminationSignals(app);
    // The window's font for the whole program, so that no other face is
    // loaded for the first text laid out.
    QApplication::setFont(zelvane::Zelvane::FormFont());
#if defined(ZELVANE_WARM_UP_FONTCONFIG)
    fontConfigWarmUp.join();
#endif

    zelvane::Zelvane window(QString::fromUtf8(zelvane::form::Caption(ZELVANE_PUBLISHER_URL)));
    // The icon's pixels are compiled in: no image reader at start-up.
    const QImage icon(kIconRgba, kIconSize, kIconSize, kIconSize * 4, QImage::Format_RGBA8888);
    window.setWindowIcon(QIcon(QPixmap::fromImage(icon)));
    window.show();
    return QApplication::exec();
}
