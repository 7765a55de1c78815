// Runs a planned Save as on a thread of its own while the window goes on
// painting and answering: the status board shows the progress (files,
// bytes, time left) with a Cancel button, Escape cancels too, and the
// overwrite questions are asked on the window's thread, one at a time and
// in the copy's order. Run() returns once the copy has ended.
#pragma once

#include "controls/status_board_static.h"
#include "library/recording_copy.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <atomic>
#include <functional>
#include <mutex>

class QEventLoop;

namespace kolvex {

class CCopySession : public QObject, private ICopyCallbacks {
public:
    // `confirm` asks the overwrite question (on the window's thread).
    CCopySession(QWidget* window, CStatusBoardStatic& board,
                 std::function<bool(const QString&)> confirm);
    ~CCopySession() override;

    // `boardPlace`: where the board shows meanwhile (wider than its place
    // between copies, for the longer text); it goes back afterwards.
    void Run(RecordingCopy& copy, const QRect& boardPlace);
    // Stops the copy inside the file it is copying; Run() then returns.
    void Cancel();
    bool Cancelling() const { return m_cancel.load(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool ConfirmOverwrite(const QString& targetPath) override;
    void Progress(const CopyProgress& progress, bool recordingDone) override;
    bool CancelRequested() override { return m_cancel.load(); }
    void ShowProgress();

    QPointer<QWidget> m_window;
    CStatusBoardStatic& m_board;
    std::function<bool(const QString&)> m_confirm;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_progressPosted{false};
    std::atomic<bool> m_finished{false};
    std::mutex m_progressLock;
    CopyProgress m_progress; // the latest, under m_progressLock
    QEventLoop* m_loop = nullptr;
};

} // namespace kolvex
