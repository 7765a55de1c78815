#include "register_map_pages.h"

#include <QtCore/qglobal.h>

// Q_INIT_RESOURCE must be used outside any namespace.
static void InitMapWebResource() {
    Q_INIT_RESOURCE(mapweb);
}

namespace kolvex {

void RegisterMapPages() {
    static const bool registered = [] {
        InitMapWebResource();
        return true;
    }();
    (void)registered;
}

} // namespace kolvex
