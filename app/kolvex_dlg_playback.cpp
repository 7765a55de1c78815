// CKolvexDlg: the window's side of the transport. Its buttons and slider
// ask the playback controller (play, pause, stop, rates, seeking), it sets
// the volume, mute and snapshot, and each report of the front player keeps
// the play button, the slider and the instruments in step with the picture.
#include "kolvex_dlg.h"

#include <algorithm>

#include "screen_saver_inhibitor.h"
#include "snapshot_name.h"
#include "window_messages.h"

#include "library/file_system.h"
#include "library/native_path.h"
#include "playback/qt/snapshot_file.h"
#include "settings/app_settings.h"
#include "settings/language_table.h"
#include "settings/string_ids.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace kolvex {

void CKolvexDlg::ShowFrontSurface() {
    if (m_frontFrame.m_bIdle) {
        m_frontFrame.SetIdle(0);
        m_frontVideo.show();
    }
}

void CKolvexDlg::ShowRearSurface() {
    if (m_rearFrame.m_bIdle) {
        m_rearFrame.SetIdle(0);
        m_rearVideo.show();
    }
}

void CKolvexDlg::ShowFrontIdle() {
    if (!m_frontFrame.m_bIdle) {
        m_frontFrame.SetIdle(1);
        m_frontVideo.hide();
    }
}

void CKolvexDlg::ShowRearIdle() {
    if (!m_rearFrame.m_bIdle) {
        m_rearFrame.SetIdle(1);
        m_rearVideo.hide();
    }
}

void CKolvexDlg::OnPlayPause() {
    // Decided before the holds go: a front player on its way to hold its
    // first picture counts as paused.
    const bool pause = m_playback.FrontRunning();
    m_playback.CancelHolds();
    m_playback.ClearPendingSeek();
    m_gsensor.m_bStopped = 0;
    m_gsensor.update();
    if (m_recordings.Entries().empty()) {
        m_btnPlay.m_bAltState = 0;
        m_btnPlay.m_bDisabled = 0;
        m_btnPlay.update();
        return;
    }
    if (m_recordings.CurrentFile() < 0) {
        // The recording that played is gone (deleted): play starts the
        // list from its first recording.
        m_nDeferredOpenCountdown = 0;
        StartOpenGuard();
        ShowFrontSurface();
        PlayRecording(0, PlayStart::List);
        return;
    }
    // The rear camera follows the front one's command: both play or both
    // pause, whatever each was doing (the rear may have been held at its
    // start, or still be running after the front one stopped).
    if (pause) {
        m_playback.PauseFront();
    } else {
        ShowFrontSurface();
        m_playback.PlayFront();
        m_playback.RestartRateOverlay();
    }
    if (m_strRearFile.isEmpty())
        return; // no rear recording: the rear pane stays idle
    const bool rearPlaying = m_playback.RearRunning();
    if (pause) {
        if (rearPlaying)
            m_playback.PauseRear();
    } else if (!rearPlaying) {
        ShowRearSurface();
        m_playback.PlayRear();
    }
}

void CKolvexDlg::OnStop() {
    m_playback.ClearPendingSeek();
    m_btnPlay.m_bAltState = 0;
    m_btnPlay.m_bDisabled = 0;
    m_btnPlay.update();
    m_playback.StopBoth();
    m_playback.ResetRate();
    m_positionSlider.setValue(0);
    ShowTimes(-1, -1);
    m_gsensor.SetCurrentTime(0);
    m_gsensor.m_bStopped = 1;
    m_gsensor.update();
    ShowFrontIdle();
    ShowRearIdle();
    // Stopped, nothing is where the car is: the speed and the compass say
    // "no data", the car leaves the map and the next start drives anew.
    m_recordings.ClearPosition();
    m_gpsIcon.m_bActive = 0;
    m_gpsIcon.update();
    if (m_pInhibitor)
        m_pInhibitor->Release();
}

void CKolvexDlg::OnChangeRate(int step) {
    m_playback.ChangeRate(step);
}

void CKolvexDlg::OnSeekChanged() {
    const int64_t length = m_frontPlayer.m_bUsable ? m_playback.FrontLengthMs() : -1;
    if (length <= 0)
        return; // nothing to seek in
    const int64_t target = static_cast<int64_t>(m_positionSlider.value()) * (length / 1000);
    m_playback.SetPendingSeek(target);
    ShowTimes(target, length);
    m_gpsIcon.m_bActive =
        m_recordings.UpdatePosition(target, m_bGSensorEnabled, m_bMapEnabled) != 0;
    m_gpsIcon.update();
}

void CKolvexDlg::OnVolumeChanged() {
    if (m_frontPlayer.m_bUsable)
        m_frontPlayer.SetVolume(2 * m_volumeSlider.value());
}

void CKolvexDlg::OnMute() {
    if (m_frontPlayer.m_bUsable)
        m_frontPlayer.SetMute(m_btnMute.m_bAltState == 1);
}

void CKolvexDlg::OnSnapshot() {
    if (m_recordings.Entries().empty()) {
        QMessageBox::information(this, LoadLangString(145), LoadLangString(136), QMessageBox::Ok);
        return;
    }
    if (!m_frontPlayer.m_bUsable) {
        // Without the video player there is no picture to save.
        QMessageBox::warning(this, LoadLangString(StringId::TipSnapshot),
                             LoadLangString(StringId::SnapshotUnavailable), QMessageBox::Ok);
        return;
    }
    const bool resume = m_frontPlayer.m_bUsable && m_frontPlayer.m_bPlaying;
    if (resume)
        m_playback.PauseFront();
    const QString path = ChooseSnapshotPath();
    if (!path.isEmpty()) {
        // Written in the format the file's extension names.
        if (SaveSnapshot(m_frontPlayer, path)) {
            CAppSettings::GetInstance().WriteString(
                KolvexIni::kSectionUI, KolvexIni::kSnapshotFolder, QFileInfo(path).absolutePath());
        } else {
            QString text = LoadLangString(StringId::SnapshotFailed);
            text.replace(QStringLiteral("%s"), QDir::toNativeSeparators(path));
            QMessageBox::warning(this, LoadLangString(StringId::TipSnapshot), text,
                                 QMessageBox::Ok);
        }
    }
    if (resume)
        m_playback.PlayFront();
}

QString CKolvexDlg::ChooseSnapshotPath() {
    const QString jpeg = QStringLiteral("Jpeg File(*.jpg)");
    const QString png = QStringLiteral("Png File(*.png)");
    const QString folder = SnapshotFolder(
        CAppSettings::GetInstance().ReadString(KolvexIni::kSectionUI, KolvexIni::kSnapshotFolder));
    const int64_t time = m_frontPlayer.m_bUsable ? m_frontPlayer.GetTime() : 0;
    QFileDialog dialog(this, LoadLangString(StringId::TipSnapshot), folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // No default suffix: a name without an extension gets the chosen
    // filter's below, not always the first filter's.
    dialog.setNameFilters({jpeg, png});
    dialog.selectNameFilter(jpeg);
    dialog.selectFile(SnapshotBaseName(m_recordings.GetCurrentPath(), time) +
                      QStringLiteral(".jpg"));
    // The proposed name follows a change of filter, as the user expects of
    // a save dialog.
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        const QStringList typed = dialog.selectedFiles();
        if (!typed.isEmpty() && !QFileInfo(typed.constFirst()).isDir())
            dialog.selectFile(
                WithFilterExtension(QFileInfo(typed.constFirst()).fileName(), filter));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString chosen = dialog.selectedFiles().constFirst();
    const QString path = SnapshotFileFor(chosen, dialog.selectedNameFilter());
    // The dialog asked about the name as typed; an added extension names
    // another file.
    if (path != chosen && QFileInfo::exists(path) && !ConfirmOverwrite(path))
        return QString();
    return path;
}

void CKolvexDlg::OnPlayerTime(int64_t timeMs) {
    // While a seek waits, the slider stays where the user put it. Reports
    // that were on the way when the player stopped are late: the stop
    // cleared what they would show.
    if (m_playback.PendingSeek() || m_playback.FrontStopped())
        return;
    m_bOpening = false;
    ShowPosition(timeMs);
    const int64_t length = m_frontPlayer.m_bUsable ? m_playback.FrontLengthMs() : 0;
    const int position =
        length <= 0 ? 0 : static_cast<int>(static_cast<double>(timeMs) / length * 1000.0);
    // Set here, on the window's thread, rather than posted: a position
    // still on its way would pull the slider away from 0 after a stop.
    m_positionSlider.setValue(position);
    ShowTimes(timeMs, length);
}

int64_t CKolvexDlg::CurrentCameraStart() const {
    const int current = m_recordings.CurrentFile();
    const auto& entries = m_recordings.Entries();
    if (current < 0 || current >= static_cast<int>(entries.size()))
        return -1;
    const int64_t start = entries[static_cast<size_t>(current)].meta.startTime;
    return start > 0 ? start : -1;
}

void CKolvexDlg::ShowTimes(int64_t timeMs, int64_t lengthMs) {
    const int64_t start = lengthMs >= 0 ? CurrentCameraStart() : -1;
    m_positionSlider.SetTimes(timeMs, lengthMs, start);
    m_fullScreenControls.Slider().SetTimes(timeMs, lengthMs, start);
    const int position =
        lengthMs > 0 && timeMs > 0 ? static_cast<int>(timeMs * 1000 / lengthMs) : 0;
    m_fullScreenControls.Follow(m_btnPlay.m_bAltState, position);
}

void CKolvexDlg::OnPlayerState(int state) {
    switch (state) {
    case 1:
    case 4:
        m_btnPlay.m_bAltState = 0;
        if (m_pInhibitor)
            m_pInhibitor->Release();
        break;
    case 2:
    case 3:
        // A start reported before a stop does not make the button lie.
        if (m_playback.FrontStopped())
            return;
        m_btnPlay.m_bAltState = 1;
        if (state == 3 && m_pInhibitor)
            m_pInhibitor->Inhibit(QStringLiteral("Playing a recording"));
        break;
    default:
        return;
    }
    m_btnPlay.m_bDisabled = 0;
    m_btnPlay.update();
    m_fullScreenControls.Follow(m_btnPlay.m_bAltState, m_positionSlider.value());
}

void CKolvexDlg::OnPlayerError(int code) {
    QString text = code == 1 ? LoadLangString(StringId::PlayerError) : QString();
    // The recording that could not be played (a pulled card, a damaged file).
    if (!m_frontPlayer.m_strMediaPath.empty())
        text += QStringLiteral("\n\n") +
                WithSingleSeparators(
                    PathFromNative(QByteArray::fromStdString(m_frontPlayer.m_strMediaPath)));
    QMessageBox::warning(this, QStringLiteral("KolvexPlayer"), text, QMessageBox::Ok);
}

void CKolvexDlg::ShowPosition(int64_t timeMs) {
    const bool fix = m_recordings.UpdatePosition(timeMs, m_bGSensorEnabled, m_bMapEnabled) != 0;
    // The icon is see-through: repainting it repaints the caption below it,
    // so it is repainted only when its look changes.
    if (fix != m_gpsIcon.m_bActive) {
        m_gpsIcon.m_bActive = fix;
        m_gpsIcon.update();
    }
}

} // namespace kolvex
