// kolvex: the player's window.
#include "display_choice.h"
#include "kolvex_app.h"

#include "map/view/web_engine_setup.h"

#include <QApplication>

int main(int argc, char** argv) {
    if (!kolvex::ApplyDisplayChoice())
        return 1;
    kolvex::PrepareWebEngineProcess();
    QApplication application(argc, argv);
    kolvex::CKolvexApp app;
    return app.InitInstance();
}
