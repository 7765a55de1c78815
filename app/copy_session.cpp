#include "copy_session.h"

#include "file_operation_messages.h"
#include "settings/language_table.h"
#include "settings/string_ids.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>

#include <thread>

namespace kolvex {

CCopySession::CCopySession(QWidget* window, CStatusBoardStatic& board,
                           std::function<bool(const QString&)> confirm)
    : m_window(window), m_board(board), m_confirm(std::move(confirm)) {}

CCopySession::~CCopySession() = default;

void CCopySession::Run(RecordingCopy& copy, const QRect& boardPlace) {
    m_progress.filesTotal = copy.FileCount();
    m_progress.bytesTotal = copy.ByteCount();
    const QRect place = m_board.geometry();
    if (boardPlace.isValid())
        m_board.setGeometry(boardPlace);
    m_board.setVisible(true);
    m_board.raise();
    m_board.CancelButton()->setEnabled(true);
    m_board.SetCancelButton(true, LoadLangString(StringId::ButtonCancel));
    const QMetaObject::Connection clicked =
        connect(m_board.CancelButton(), &QPushButton::clicked, this, [this] { Cancel(); });
    ShowProgress();
    qApp->installEventFilter(this);

    QEventLoop loop;
    m_loop = &loop;
    std::thread worker([this, &copy] {
        copy.Run(*this);
        m_finished.store(true);
        QMetaObject::invokeMethod(
            this, [this] { m_loop->quit(); }, Qt::QueuedConnection);
    });
    // Input stays with the window: the board's button, Escape and whatever
    // the window allows meanwhile.
    loop.exec();
    // Left early (the program is quitting): the copy stops, and its last
    // calls into this thread are still answered until it has. The worker
    // posts once it has finished, so waiting for events never waits past it.
    if (!m_finished.load()) {
        Cancel();
        while (!m_finished.load())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    worker.join();
    m_loop = nullptr;

    qApp->removeEventFilter(this);
    disconnect(clicked);
    m_board.SetCancelButton(false);
    m_board.setVisible(false);
    m_board.setGeometry(place);
}

void CCopySession::Cancel() {
    if (m_cancel.exchange(true))
        return;
    // Said at once; the copy stops within one piece of data.
    m_board.CancelButton()->setEnabled(false);
}

bool CCopySession::eventFilter(QObject* watched, QEvent* event) {
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && widget && m_window &&
        widget->window() == m_window && !QApplication::activeModalWidget()) {
        Cancel();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

bool CCopySession::ConfirmOverwrite(const QString& targetPath) {
    bool answer = false;
    // The copy waits for the answer: the questions keep the copy's order.
    QMetaObject::invokeMethod(
        this,
        [this, &answer, targetPath] {
            answer = !m_cancel.load() && m_confirm && m_confirm(targetPath);
        },
        Qt::BlockingQueuedConnection);
    return answer;
}

void CCopySession::Progress(const CopyProgress& progress, bool) {
    {
        std::lock_guard<std::mutex> lock(m_progressLock);
        m_progress = progress;
    }
    // One report on the way at a time: the board shows the latest.
    if (!m_progressPosted.exchange(true))
        QMetaObject::invokeMethod(
            this, [this] { ShowProgress(); }, Qt::QueuedConnection);
}

void CCopySession::ShowProgress() {
    m_progressPosted.store(false);
    CopyProgress progress;
    {
        std::lock_guard<std::mutex> lock(m_progressLock);
        progress = m_progress;
    }
    m_board.SetProgress(progress.Percent(), CopyProgressText(progress));
}

} // namespace kolvex
