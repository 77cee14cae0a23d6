// The toolkit's application for the fuzz targets: the metafile player measures and draws text
// through the toolkit's fonts, which need one. Offscreen, made once, never shown.
#include <QApplication>

#include <cstdlib>

#include "vcl/qt/glue.h"

QApplication* EnsureGuiApplication() {
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) return app;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
}
