#include "kolvex_app.h"

#include "command_line.h"
#include "kolvex_dlg.h"

#include "controls/text_fonts.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

namespace kolvex {

int CKolvexApp::InitInstance(const QString& path) {
    // Registering common controls, starting a graphics library, sockets and
    // a control container have no counterpart here: Qt and the map host
    // prepare themselves.
    QCoreApplication::setApplicationName(QStringLiteral("Kolvex"));
    // "Arial" and "Arial Black" name the free fonts that stand in for them,
    // for every text of the window.
    InstallFontSubstitutes();
    CKolvexDlg dialog;
    dialog.OnInitDialog();
    if (!path.isEmpty()) {
        QString error;
        if (SourceForPath(path, &error) < 0) {
            std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
        } else {
            // Once the window shows: a folder's scan counts on its surface.
            QTimer::singleShot(0, &dialog, [&dialog, path] { dialog.OpenPath(path); });
        }
    }
    dialog.exec();
    return 0;
}

} // namespace kolvex
