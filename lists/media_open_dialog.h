// CMediaOpenDialog: where the user chooses what to open: a whole drive
// (a camera's card), one file or a folder.
#pragma once

#include "drive_list.h"

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kolvex {

class CMediaOpenDialog : public QDialog {
    Q_OBJECT
public:
    // The sources, by their radio buttons' control ids.
    enum SourceControl { IDC_SOURCE_DISK = 1029, IDC_SOURCE_FILE = 1030, IDC_SOURCE_FOLDER = 1031 };
    enum Source { kSourceDisk = 0, kSourceFile = 1, kSourceFolder = 2 };

    explicit CMediaOpenDialog(QWidget* owner = nullptr);

    // Texts, drive list and remembered folder; runs once, before the
    // dialog is first shown.
    void OnInitDialog();
    void SelectSourceRadio(int controlId);

    // The choice, valid after the dialog was accepted: the drive's mount
    // point for kSourceDisk, m_strFile for kSourceFile, m_strFolder for
    // kSourceFolder.
    int m_nSource = kSourceFile;
    QString m_strDrive;
    QString m_strFile;
    QString m_strFolder;

    // The controls, for the window's tests.
    QRadioButton* m_radioDisk;
    QRadioButton* m_radioFile;
    QRadioButton* m_radioFolder;
    QComboBox* m_cbDrive;
    QLineEdit* m_editFile;
    QPushButton* m_btnBrowseFile;
    QLineEdit* m_editFolder;
    QPushButton* m_btnBrowseFolder;
    QPushButton* m_btnOk;
    QPushButton* m_btnCancel;

    void OnBrowseFile();
    void OnBrowseFolder();
    void accept() override;

protected:
    // The system as the dialog sees it; tests replace these.
    virtual std::vector<VolumeInfo> ListVolumes() const { return MountedVolumes(); }
    // The file the user picked, or empty.
    virtual QString PickFile();
    // A CFolderDialog result; `chosen` receives the folder.
    virtual int PickFolder(const QString& initialFolder, QString& chosen);

    void showEvent(QShowEvent* event) override;

private:
    void UpdateSource();
    void FillDriveList();
    void LayoutControls();

    QButtonGroup* m_sources;
    bool m_bInitialised = false;
};

// The file picker's filter: the recordings' extensions in either case.
QString RecordingFileFilter();

} // namespace kolvex
