#include "web_engine_setup.h"

#include <QCoreApplication>
#include <QtGlobal>

#include <cstdio>
#include <unistd.h>

namespace kolvex {

bool PrepareWebEngineProcess() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() != 0)
        return false;
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    std::fputs("kolvex: running as root, so the map's browser runs without its sandbox\n", stderr);
    return true;
}

} // namespace kolvex
