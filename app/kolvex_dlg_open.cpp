// CKolvexDlg: which recording plays. The open command (a disk, a folder or
// one file), the lists' double-clicks, the deferred start after a folder
// was loaded, what follows the end of a recording, and the rear recording
// that belongs to the front one.
#include "kolvex_dlg.h"

#include <algorithm>

#include "window_messages.h"

#include "library/rear_file.h"
#include "library/unreadable_recordings.h"
#include "lists/media_open_dialog.h"
#include "settings/app_settings.h"

namespace kolvex {

namespace {

constexpr int kOpenGuardMs = 100000;
constexpr int kDeferredOpenTicks = 5; // of the 100 ms timer

} // namespace

void CKolvexDlg::OnOpen() {
    if (!m_recordings.Entries().empty() && m_bOpening)
        return;
    // Playback goes on while the user chooses: a cancelled dialog leaves it
    // as it was, and only a confirmed new source stops the players.
    CMediaOpenDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_playback.ClearPendingSeek();
    m_playback.StopBoth();
    m_playback.ResetRate();
    switch (dialog.m_nSource) {
    case CMediaOpenDialog::kSourceDisk:
        OpenSource(dialog.m_nSource, dialog.m_strDrive);
        break;
    case CMediaOpenDialog::kSourceFolder:
        OpenSource(dialog.m_nSource, dialog.m_strFolder);
        break;
    default:
        OpenSource(dialog.m_nSource, dialog.m_strFile);
        break;
    }
}

void CKolvexDlg::OpenSource(int source, const QString& path) {
    // Whatever the new source holds, the last recording's graph, path and
    // readings go with it.
    m_recordings.UnloadRecordingData();
    m_recordings.SetListByGpsTime(CAppSettings::GetInstance().ReadInt(
                                      KolvexIni::kSectionUI, KolvexIni::kListByGpsTime, 0) != 0);
    if (source == CMediaOpenDialog::kSourceFile) {
        m_nOpenMode = 2;
        m_recordings.Reset();
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        const QString folder = slash < 0 ? QString() : path.left(slash);
        const QString name = slash < 0 ? path : path.mid(slash + 1);
        if (!m_recordings.Load(folder, name))
            return;
        if (m_recordings.Entries().empty()) {
            SayNothingPlayable(path, 1);
            return;
        }
        m_strCurrentFile = path;
        PlayRecording(0, PlayStart::SingleFile);
        return;
    }
    m_nOpenMode = source == CMediaOpenDialog::kSourceDisk ? 0 : 1;
    StartOpenGuard();
    m_strSourcePath = path;
    if (m_strSourcePath.isEmpty()) {
        m_bOpening = false;
        return;
    }
    m_recordings.Reset();
    // The scan runs here, on the user-interface thread; the front surface
    // repaints the count of visited files as it grows.
    m_frontVideo.m_bShowCounter = true;
    m_frontVideo.m_nCounter = 0;
    m_frontVideo.repaint();
    const bool found = m_recordings.Load(m_strSourcePath, QString()) != 0;
    m_frontVideo.m_bShowCounter = false;
    m_frontVideo.repaint();
    if (m_recordings.Entries().empty()) {
        m_bOpening = false;
        if (found)
            SayNothingPlayable(m_strSourcePath, CountRecordingNames(m_strSourcePath));
        return;
    }
    if (m_nOpenMode == 0) {
        PlayRecording(0, PlayStart::Disk);
    } else {
        m_nDeferredOpenIndex = 0;
        m_nDeferredOpenCountdown = kDeferredOpenTicks;
    }
}

void CKolvexDlg::StartOpenGuard() {
    m_bOpening = true;
    m_openGuardTimer.start(kOpenGuardMs, this);
}

void CKolvexDlg::PlayRecording(int index, PlayStart start) {
    m_playback.CancelHolds();
    if (start == PlayStart::Deferred)
        ShowFrontSurface();
    if (start == PlayStart::BackToFirst)
        m_playback.StopFront();
    if (start == PlayStart::SingleFile) {
        m_playback.SetFrontWindow(
            static_cast<CVlcPlayer::WindowHandle>(m_frontVideo.SurfaceWinId()));
        ShowFrontSurface();
    }

    m_recordings.SelectFile(index);
    m_recordings.LoadRecordingData(index);
    ShowDrivingEvents();
    // The instruments show the new recording's start at once, not the last
    // one's readings until its first time report.
    ShowPosition(0);
    const bool opened = start == PlayStart::Disk || start == PlayStart::SingleFile;
    QString path;
    if (opened) {
        path = m_recordings.GetCurrentPath();
    } else {
        path = m_recordings.GetPath(index);
        m_strCurrentFile = path;
    }
    const auto& entries = m_recordings.Entries();
    m_playback.OpenFront(path, index >= 0 && index < static_cast<int>(entries.size())
                                   ? entries[static_cast<size_t>(index)].meta.durationMs
                                   : 0);
    if (opened) {
        if (start == PlayStart::Disk)
            ShowFrontSurface();
        m_btnPlay.m_bAltState = 1;
        m_btnPlay.m_bDisabled = 0;
        m_btnPlay.update();
    }
    FitVideoSurfaces();
    m_playback.PlayFront();

    if (start == PlayStart::BackToFirst) {
        // The rear camera comes back with the front one, held at its first
        // picture too, so that Play plays both.
        OpenRearRecording(path);
        m_playback.HoldFrontAtStart();
        if (!m_strRearFile.isEmpty())
            m_playback.HoldRearAtStart();
        m_positionSlider.setValue(0);
        return;
    }
    if (!opened)
        m_playback.RestartRateOverlay();
    OpenRearRecording(path);
}

void CKolvexDlg::OpenRearRecording(const QString& frontPath) {
    const QString rear = FindRearFile(frontPath);
    m_strRearFile = rear;
    if (rear.isEmpty()) {
        // No rear camera for this recording: the rear pane shows its idle
        // picture, and the player is stopped and rebuilt so that nothing of
        // the last rear recording (picture, rate overlay) stays behind.
        m_playback.DropRear(static_cast<CVlcPlayer::WindowHandle>(m_rearVideo.SurfaceWinId()));
        ShowRearIdle();
        return;
    }
    ShowRearSurface();
    m_playback.OpenRear(rear, static_cast<CVlcPlayer::WindowHandle>(m_rearVideo.SurfaceWinId()));
}

void CKolvexDlg::OnDeferredOpenTick() {
    if (m_nDeferredOpenCountdown == 0 || m_nDeferredOpenCountdown == -1)
        return;
    --m_nDeferredOpenCountdown;
    if (m_nDeferredOpenCountdown == 0 && m_nDeferredOpenIndex != -1)
        PlayRecording(m_nDeferredOpenIndex, PlayStart::Deferred);
}

void CKolvexDlg::OnOpenGroup(int group) {
    if (m_bOpening || group == -1)
        return;
    // The window answers while the players let go of their files; the
    // group opens after that.
    m_playback.StopBothThen([this, group] {
        m_recordings.SelectGroup(group);
        const int count = static_cast<int>(m_recordings.Entries().size());
        if (count == 0)
            return;
        const int current = std::min(m_recordings.CurrentFile(), count - 1);
        if (current == -1)
            return;
        StartOpenGuard();
        ShowFrontSurface();
        PlayRecording(current, PlayStart::List);
    });
}

void CKolvexDlg::OnOpenFile(int row) {
    if (m_bOpening || row == -1)
        return;
    m_playback.StopBothThen([this, row] {
        if (!m_recordings.SelectFile(row))
            return;
        StartOpenGuard();
        ShowFrontSurface();
        PlayRecording(row, PlayStart::List);
    });
}

void CKolvexDlg::OnHeldAtStart() {
    // Held at its start, the recording is driven anew from there: the path
    // driven so far goes.
    m_recordings.PlotDrivenPath(0);
    ShowPosition(0);
    m_positionSlider.setValue(0);
    m_gsensor.SetCurrentTime(0);
}

void CKolvexDlg::PlayNextAfterEnd() {
    const int count = static_cast<int>(m_recordings.Entries().size());
    const int current = std::min(m_recordings.CurrentFile(), count - 1);
    if (current >= 0 && current + 1 < count)
        PlayRecording(current + 1, PlayStart::Next);
    else if (count > 0)
        PlayRecording(0, PlayStart::BackToFirst);
}

} // namespace kolvex
