// The window's keys beyond the dialog's own (Enter presses play/pause,
// Escape does nothing outside full screen), and recordings dropped on it.
// A key reaches the window only when no control took it first: a list with
// the focus keeps its letters for the inline search and its arrows for
// moving, a dialog keeps everything. Space alone is the window's wherever
// the focus is in it, unless a text field has it.
#include "kolvex_dlg.h"

#include "command_line.h"
#include "info_panel.h"

#include "settings/language_table.h"
#include "settings/string_ids.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QUrl>
#include <QWindow>

#include <algorithm>
#include <cstdio>

namespace kolvex {

namespace {

constexpr int64_t kShortSeekMs = 5'000;
constexpr int64_t kLongSeekMs = 60'000;
constexpr int kVolumeStep = 5;

// The first local file or folder among dropped addresses.
QString DroppedPath(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && QFileInfo::exists(url.toLocalFile()))
            return url.toLocalFile();
    }
    return {};
}

} // namespace

bool CKolvexDlg::IsPlayPauseKey(QObject* receiver, const QKeyEvent* event) const {
    if (event->key() != Qt::Key_Space || (event->modifiers() & ~Qt::KeypadModifier))
        return false;
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (!widget || widget->window() != this)
        return false; // a dialog or a panel of its own keeps its keys
    // Fields that take text keep their spaces.
    if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QTextEdit*>(widget) ||
        qobject_cast<QPlainTextEdit*>(widget) || qobject_cast<QAbstractSpinBox*>(widget))
        return false;
    if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->isEditable())
        return false;
    return true;
}

bool CKolvexDlg::eventFilter(QObject* watched, QEvent* event) {
    // Before the focused control sees it: a button would press itself, a
    // list would select.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (IsPlayPauseKey(watched, key)) {
            if (!key->isAutoRepeat())
                m_btnPlay.click();
            return true;
        }
    }
    if (event->type() == QEvent::MouseMove && m_bFullScreen)
        OnFullScreenMouseMove(watched, static_cast<QMouseEvent*>(event));
    return QDialog::eventFilter(watched, event);
}

void CKolvexDlg::OnFullScreenMouseMove(QObject* receiver, const QMouseEvent* event) {
    auto* widget = qobject_cast<QWidget*>(receiver);
    const bool ours = (widget && widget->window() == this) ||
                      receiver == m_frontVideo.SurfaceWindow() ||
                      receiver == m_rearVideo.SurfaceWindow();
    if (!ours)
        return;
    const int y = mapFromGlobal(event->globalPosition().toPoint()).y();
    if (y >= height() - CFullScreenControls::kCallingStrip)
        m_fullScreenControls.ShowAlong(rect());
}

bool CKolvexDlg::HandleShortcut(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const bool shift = modifiers == Qt::ShiftModifier;
    const bool plain = modifiers == Qt::NoModifier;
    switch (event->key()) {
    case Qt::Key_Space:
        if (plain)
            m_btnPlay.click();
        return plain;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (!plain && !shift)
            return false;
        SeekBy((event->key() == Qt::Key_Left ? -1 : 1) * (shift ? kLongSeekMs : kShortSeekMs));
        return true;
    case Qt::Key_Home:
        if (plain)
            SeekTo(0);
        return plain;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (plain)
            StepVolume(event->key() == Qt::Key_Up ? kVolumeStep : -kVolumeStep);
        return plain;
    case Qt::Key_M:
        if (plain)
            m_btnMute.click();
        return plain;
    case Qt::Key_F:
        if (plain)
            ToggleFrontFullScreen();
        return plain;
    case Qt::Key_Escape:
        if (m_bFullScreen)
            ToggleFrontFullScreen();
        return true; // outside full screen Escape does nothing
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (plain)
            PlayNeighbour(event->key() == Qt::Key_PageUp ? -1 : 1);
        return plain;
    case Qt::Key_Plus:
    case Qt::Key_Equal: // '+' without Shift on many layouts
        if (modifiers & ~Qt::ShiftModifier)
            return false;
        m_btnFast.click();
        return true;
    case Qt::Key_Minus:
        if (!plain)
            return false;
        m_btnSlow.click();
        return true;
    case Qt::Key_O:
        if (modifiers == Qt::ControlModifier)
            m_btnOpen.click();
        return modifiers == Qt::ControlModifier;
    case Qt::Key_F1:
        if (plain)
            ShowShortcutPanel();
        return plain;
    case Qt::Key_T:
        if (plain)
            ShowTripPanel();
        return plain;
    default:
        return false;
    }
}

void CKolvexDlg::SeekBy(int64_t deltaMs) {
    if (m_recordings.Entries().empty() || !m_frontPlayer.m_bUsable)
        return;
    const std::optional<int64_t>& pending = m_playback.PendingSeek();
    const int64_t from = pending ? *pending : m_frontPlayer.GetTime();
    SeekTo(from + deltaMs);
}

void CKolvexDlg::SeekTo(int64_t timeMs) {
    if (m_recordings.Entries().empty() || !m_frontPlayer.m_bUsable)
        return;
    const int64_t length = m_playback.FrontLengthMs();
    if (length <= 1)
        return;
    const int64_t target = std::clamp<int64_t>(timeMs, 0, length - 1);
    m_positionSlider.setValue(static_cast<int>(target * 1000 / length));
    // As the slider's own seek, but to the exact time rather than the
    // slider's step.
    m_playback.SetPendingSeek(target);
    ShowTimes(target, length);
    m_gpsIcon.m_bActive =
        m_recordings.UpdatePosition(target, m_bGSensorEnabled, m_bMapEnabled) != 0;
    m_gpsIcon.update();
}

void CKolvexDlg::StepVolume(int delta) {
    m_volumeSlider.setValue(std::clamp(m_volumeSlider.value() + delta, m_volumeSlider.minimum(),
                                       m_volumeSlider.maximum()));
    OnVolumeChanged();
}

void CKolvexDlg::PlayNeighbour(int step) {
    const int count = static_cast<int>(m_recordings.Entries().size());
    const int current = m_recordings.CurrentFile();
    if (count == 0 || current < 0)
        return;
    const int next = current + step;
    if (next < 0 || next >= count)
        return;
    // As a double-click on that row of the file list.
    OnOpenFile(next);
}

void CKolvexDlg::ToggleFrontFullScreen() {
    if (!m_bFullScreen)
        m_nFullScreenVideo = 1;
    SwitchFullScreen();
}

void CKolvexDlg::ShowShortcutPanel() {
    ShowInfoPanel(
        new CInfoPanel(this, LoadLangString(StringId::KeysTitle), CInfoPanel::ShortcutLines()));
}

void CKolvexDlg::ShowInfoPanel(QWidget* panel) {
    if (m_pInfoPanel)
        m_pInfoPanel->close();
    panel->adjustSize();
    const QPoint centre = mapToGlobal(rect().center());
    panel->move(centre - QPoint(panel->width() / 2, panel->height() / 2));
    panel->show();
    m_pInfoPanel = panel;
}

bool CKolvexDlg::OpenPath(const QString& path) {
    QString error;
    const int source = SourceForPath(path, &error);
    if (source < 0) {
        std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
        return false;
    }
    OpenSource(source, QFileInfo(path).absoluteFilePath());
    return true;
}

void CKolvexDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedPath(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CKolvexDlg::dropEvent(QDropEvent* event) {
    const QString path = DroppedPath(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // After the drop has finished: the scan may take a while and the
    // dragging program waits for the answer.
    QMetaObject::invokeMethod(
        this, [this, path] { OpenPath(path); }, Qt::QueuedConnection);
}

} // namespace kolvex
