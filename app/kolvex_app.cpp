#include "kolvex_app.h"

#include "kolvex_dlg.h"

#include "controls/text_fonts.h"

#include <QCoreApplication>

namespace kolvex {

int CKolvexApp::InitInstance() {
    // Registering common controls, starting a graphics library, sockets and
    // a control container have no counterpart here: Qt and the map host
    // prepare themselves.
    QCoreApplication::setApplicationName(QStringLiteral("Kolvex"));
    // "Arial" and "Arial Black" name the free fonts that stand in for them,
    // for every text of the window.
    InstallFontSubstitutes();
    CKolvexDlg dialog;
    dialog.OnInitDialog();
    dialog.exec();
    return 0;
}

} // namespace kolvex
