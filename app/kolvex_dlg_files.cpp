// CKolvexDlg: delete, save as and unlock on the ticked groups, the KML
// export of the current recording, and the map and graph switches.
#include "kolvex_dlg.h"

#include "library/track_export.h"
#include "lists/folder_dialog.h"
#include "map/view/html_map_dlg.h"
#include "settings/app_settings.h"
#include "settings/language_table.h"
#include "settings/string_ids.h"

#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>

namespace kolvex {

namespace {

QString WithArgument(unsigned id, const QString& argument) {
    QString text = LoadLangString(id);
    text.replace(QStringLiteral("%s"), argument);
    return text;
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
    const FileOperationReport& report = m_recordings.LastOperationReport();
    QStringList lines;
    if (report.changed > 0)
        lines << WithArgument(StringId::FilesChangedSinceLoad, QString::number(report.changed));
    if (report.loadedTarget > 0)
        lines << WithArgument(StringId::CopyTargetIsListed, QString::number(report.loadedTarget));
    if (report.targetLost)
        lines << WithArgument(StringId::CopyTargetLost,
                              QString::number(report.notAttempted + report.failed));
    else if (report.failed > 0 || report.notAttempted > 0)
        lines << WithArgument(StringId::CopyIncomplete,
                              QString::number(report.failed + report.notAttempted));
    if (!lines.isEmpty())
        QMessageBox::warning(this, LoadLangString(131), lines.join(QStringLiteral("\n\n")),
                             QMessageBox::Ok);
}

void CKolvexDlg::OnDelete() {
    if (!HaveRecordingsOrSay())
        return;
    // Nothing plays while files may go: stopped as by the stop button, so
    // that the play button and the read-outs say so, whatever the answer.
    OnStop();
    if (QMessageBox::question(this, LoadLangString(128), LoadLangString(129),
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
    StopBothPlayers();
    const QString folder = ChooseSaveFolder();
    if (!folder.isNull()) {
        const QFileInfo target(folder);
        if (!folder.isEmpty() && target.isDir()) {
            if (m_recordings.SaveCheckedTo(target.absoluteFilePath()) == 0)
                SayNoneChecked();
            else
                ReportOperation();
        } else {
            QMessageBox::warning(this, LoadLangString(131), LoadLangString(132), QMessageBox::Ok);
        }
    }
    ShowFrontIdle();
    ShowRearIdle();
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
