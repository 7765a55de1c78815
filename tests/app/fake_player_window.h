// The main window with both players on the recording libVLC stand-in, and
// what the window tests that drive it share.
#pragma once

#include "app/kolvex_dlg.h"
#include "fake_vlc_library.h"

#include <QDeadlineTimer>
#include <QTest>

namespace kolvex::testing {

// Runs the event loop until `done` holds or `ms` have passed.
template <typename Condition> inline bool WaitFor(Condition done, int ms = 3000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QTest::qWait(10);
    return done();
}

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
};

} // namespace kolvex::testing
