// The main window with both players on the recording libVLC stand-in, and
// what the window tests that drive it share.
#pragma once

#include "app/kolvex_dlg.h"
#include "fake_vlc_library.h"
#include "window_test_helpers.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace kolvex::testing {

inline const FakeVlcLibrary& fake() {
    static FakeVlcLibrary library(KOLVEX_FAKE_VLC_PATH);
    return library;
}

class FakePlayerWindow : public CKolvexDlg {
public:
    FakePlayerWindow() : CKolvexDlg(Options{false, QStringLiteral(KOLVEX_FAKE_VLC_PATH)}) {
        OnInitDialog();
    }
    QRect MonitorRect() const override { return QRect(0, 0, 1920, 1080); }
    // The save-as target, in place of the folder browser; null: cancelled.
    QString ChooseSaveFolder() override { return m_saveFolder; }
    QString m_saveFolder;
    // The KML button's menu: the entries it offered, and the one chosen
    // (-1: dismissed).
    QAction* ExecExportMenu(QMenu& menu, const QPoint&) override {
        m_exportEntries.clear();
        for (QAction* action : menu.actions())
            m_exportEntries << action->text();
        return m_exportChoice >= 0 && m_exportChoice < menu.actions().size()
                   ? menu.actions()[m_exportChoice]
                   : nullptr;
    }
    int m_exportChoice = -1;
    QStringList m_exportEntries;
};

} // namespace kolvex::testing
