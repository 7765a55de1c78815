// CKolvexDlg: delete, save as and unlock on the ticked groups, the KML
// export of the current recording, and the map and graph switches.
#include "kolvex_dlg.h"

#include "copy_session.h"
#include "file_operation_messages.h"
#include "library/file_system.h"
#include "library/track_export.h"
#include "lists/folder_dialog.h"
#include "map/view/html_map_dlg.h"
#include "settings/app_settings.h"
#include "settings/language_table.h"
#include "settings/string_ids.h"

#include <QFileInfo>
#include <QRect>

#include <QMenu>
#include <QMessageBox>
#include <algorithm>

namespace kolvex {

namespace {

// The status board's distance from the right edge of the rear frame.
constexpr int kBoardMargin = 5;

QString WithArgument(unsigned id, const QString& argument) {
    return WithArguments(LoadLangString(id), {argument});
}

} // namespace

bool CKolvexDlg::HaveRecordingsOrSay() {
    if (!m_recordings.Entries().empty())
        return true;
    QMessageBox::information(this, LoadLangString(145), LoadLangString(136), QMessageBox::Ok);
    return false;
}

void CKolvexDlg::SayNoneChecked() {
    QMessageBox::information(this, LoadLangString(144), LoadLangString(135), QMessageBox::Ok);
}

void CKolvexDlg::ReportOperation() {
    const OperationMessage message = OperationReportMessage(m_recordings.LastOperationReport());
    if (message.text.isEmpty())
        return;
    if (message.warning)
        QMessageBox::warning(this, message.caption, message.text, QMessageBox::Ok);
    else
        QMessageBox::information(this, message.caption, message.text, QMessageBox::Ok);
}

void CKolvexDlg::OnDelete() {
    if (!HaveRecordingsOrSay())
        return;
    // Nothing plays while files may go: stopped as by the stop button, so
    // that the play button and the read-outs say so, whatever the answer.
    OnStop();
    const CRecordingManager::CheckedCount checked = m_recordings.CountChecked();
    if (checked.recordings == 0) {
        SayNoneChecked();
        return;
    }
    if (QMessageBox::question(this, LoadLangString(128),
                              DeleteQuestionText(checked.recordings, checked.files),
                              QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    if (m_recordings.DeleteChecked() == 0) {
        SayNoneChecked();
        return;
    }
    FollowLoadedRecording();
    ReportOperation();
}

void CKolvexDlg::FollowLoadedRecording() {
    const int row = m_recordings.LoadedRecordingRow();
    if (row >= 0) {
        m_recordings.SelectFile(row); // the rebuilt lists mark it again
        return;
    }
    m_recordings.UnloadRecordingData();
    m_strRearFile.clear();
    ShowDrivingEvents(); // none without a current recording
}

QString CKolvexDlg::ChooseSaveFolder() {
    CFolderDialog dialog(this, LoadLangString(130));
    return dialog.DoModal() == CFolderDialog::kChosen ? dialog.PathName() : QString();
}

void CKolvexDlg::OnSaveAs() {
    if (!HaveRecordingsOrSay())
        return;
    // A start still pending from the last open would play during the copy.
    m_nDeferredOpenCountdown = 0;
    m_playback.StopBoth();
    ShowFrontIdle();
    ShowRearIdle();
    const QString folder = ChooseSaveFolder();
    if (folder.isNull())
        return;
    const QFileInfo target(folder);
    if (folder.isEmpty() || !target.isDir()) {
        QMessageBox::warning(this, LoadLangString(131), LoadLangString(132), QMessageBox::Ok);
        return;
    }
    std::unique_ptr<RecordingCopy> copy = m_recordings.PrepareCopy(target.absoluteFilePath());
    if (!copy) {
        if (m_recordings.LastOperationReport().targetRefused)
            QMessageBox::warning(this, LoadLangString(131), LoadLangString(132), QMessageBox::Ok);
        else
            SayNoneChecked();
        return;
    }
    {
        CCopySession session(this, m_statusBoard,
                             [this](const QString& path) { return ConfirmOverwrite(path); });
        m_pCopySession = &session;
        // Across both video frames: the progress says more than a percentage.
        QRect place = m_statusBoard.geometry();
        place.setRight(std::max(place.right(), m_rearFrame.geometry().right() - kBoardMargin));
        session.Run(*copy, place);
        m_pCopySession = nullptr;
    }
    m_recordings.FinishCopy(*copy);
    ReportOperation();
    if (m_bCloseAfterCopy)
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

bool CKolvexDlg::CopyRunning() const {
    return m_pCopySession != nullptr;
}

void CKolvexDlg::CancelCopy() {
    if (m_pCopySession)
        m_pCopySession->Cancel();
}

void CKolvexDlg::SayNothingPlayable(const QString& path, int unreadable) {
    // A folder without a single recording name is no card: nothing to say.
    if (unreadable <= 0)
        return;
    QMessageBox::warning(this, LoadLangString(StringId::WarningCaption),
                         WithArguments(LoadLangString(StringId::NothingPlayable),
                                       {WithSingleSeparators(path), QString::number(unreadable)}),
                         QMessageBox::Ok);
}

void CKolvexDlg::OnUnlock() {
    if (!HaveRecordingsOrSay())
        return;
    if (m_recordings.UnlockChecked() == 0) {
        SayNoneChecked();
        return;
    }
    ReportOperation();
}

void CKolvexDlg::OnKml() {
    if (!HaveRecordingsOrSay())
        return;
    QString folder;
    GetKmlFolder(folder);
    QString path;
    const bool written = !folder.isEmpty() && m_recordings.ExportKml(folder, path);
    QMessageBox::information(this, LoadLangString(127),
                             WithArgument(written ? 125 : 126, written ? path : folder),
                             QMessageBox::Ok);
}

void CKolvexDlg::OnGpx() {
    if (!HaveRecordingsOrSay())
        return;
    QString folder;
    GetGpxFolder(folder);
    QString path;
    const bool written = !folder.isEmpty() && m_recordings.ExportCurrentGpx(folder, path);
    QMessageBox::information(
        this, LoadLangString(StringId::GpxCaption),
        WithArgument(written ? StringId::GpxSaved : StringId::GpxFailed, written ? path : folder),
        QMessageBox::Ok);
}

void CKolvexDlg::ShowExportMenu(const QPoint& globalPos) {
    QMenu menu(this);
    QAction* kml = menu.addAction(LoadLangString(StringId::TipSaveKml));
    QAction* gpx = menu.addAction(LoadLangString(StringId::TipSaveGpx));
    const QAction* chosen = ExecExportMenu(menu, globalPos);
    if (chosen == kml)
        OnKml();
    else if (chosen == gpx)
        OnGpx();
}

QAction* CKolvexDlg::ExecExportMenu(QMenu& menu, const QPoint& globalPos) {
    return menu.exec(globalPos);
}

void CKolvexDlg::OnMapSwitch() {
    if (m_bFullScreen)
        return;
    m_bMapEnabled = m_bMapEnabled ? 0 : 1;
    LayoutControls(m_nClientWidth, m_nClientHeight);
    if (m_pMapDlg) {
        m_pMapDlg->setVisible(m_bMapEnabled != 0);
        m_pMapDlg->setEnabled(m_bMapEnabled != 0);
    }
    CAppSettings::GetInstance().WriteInt(KolvexIni::kSectionUI, KolvexIni::kMapEnable,
                                         m_bMapEnabled);
}

void CKolvexDlg::OnGSensorSwitch() {
    m_bGSensorEnabled = m_bGSensorEnabled ? 0 : 1;
    m_gsensor.setVisible(m_bGSensorEnabled != 0);
    LayoutControls(m_nClientWidth, m_nClientHeight);
    CAppSettings::GetInstance().WriteInt(KolvexIni::kSectionUI, KolvexIni::kGSensorEnable,
                                         m_bGSensorEnabled);
}

} // namespace kolvex
