#include "kolvex_app.h"

#include "kolvex_dlg.h"

#include <QCoreApplication>

namespace kolvex {

int CKolvexApp::InitInstance() {
    // Registering common controls, starting a graphics library, sockets and
    // a control container have no counterpart here: Qt and the map host
    // prepare themselves.
    QCoreApplication::setApplicationName(QStringLiteral("Kolvex"));
    CKolvexDlg dialog;
    dialog.OnInitDialog();
    dialog.exec();
    return 0;
}

} // namespace kolvex
