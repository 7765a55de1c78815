// kolvex: the player's window.
#include "display_choice.h"
#include "kolvex_app.h"

#include "map/view/web_engine_setup.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    const kolvex::DisplayChoice display = kolvex::ChooseDisplay(
        qgetenv("QT_QPA_PLATFORM"), qgetenv("WAYLAND_DISPLAY"), qgetenv("DISPLAY"));
    if (display.error) {
        std::fprintf(stderr, "%s\n", display.error->constData());
        return 1;
    }
    if (!display.platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", display.platform);
    kolvex::PrepareWebEngineProcess();
    QApplication application(argc, argv);
    kolvex::CKolvexApp app;
    return app.InitInstance();
}
