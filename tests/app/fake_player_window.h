// The main window with both players on the recording libVLC stand-in, and
// what the window tests that drive it share.
#pragma once

#include "app/kolvex_dlg.h"
#include "fake_vlc_library.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace kolvex::testing {

// Runs the event loop until `done` holds or `ms` have passed.
template <typename Condition> inline bool WaitFor(Condition done, int ms = 3000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QTest::qWait(10);
    return done();
}

// While it lives, answers every message box with `button`; m_text is the
// last box's text, m_texts all of them.
class BoxAnswer {
public:
    explicit BoxAnswer(QMessageBox::StandardButton button) {
        QObject::connect(&m_poll, &QTimer::timeout, &m_poll, [this, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box == m_answered)
                return;
            m_answered = box;
            m_text = box->text();
            m_texts << m_text;
            box->button(button)->click();
        });
        m_poll.start(10);
    }
    QString m_text;
    QStringList m_texts;

private:
    QTimer m_poll;
    QPointer<QMessageBox> m_answered;
};

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
