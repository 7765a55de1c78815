#include "media_open_dialog.h"

#include "folder_dialog.h"

#include "app/dialog_units.h"
#include "settings/app_settings.h"
#include "settings/language_table.h"
#include "settings/string_ids.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace kolvex {

namespace {

// The drive chosen last in this run, selected again the next time.
QString& LastChosenDrive() {
    static QString mountPoint;
    return mountPoint;
}

// A push button's width: its template width, or more when its text needs it.
int ButtonWidth(const QPushButton* button, int templateWidth) {
    const int text = button->fontMetrics().horizontalAdvance(button->text()) + 16;
    return std::max(templateWidth, text);
}

// A control of the template's row `rect` (pixels), at least as tall as it
// needs, centred on the row.
QRect OnRow(const QRect& rect, int width, int neededHeight) {
    const int height = std::max(rect.height(), neededHeight);
    return QRect(rect.x(), rect.center().y() + 1 - height / 2, width, height);
}

} // namespace

QString RecordingFileFilter() {
    // Qt's file dialog matches case-sensitively on Linux, and cameras write
    // upper-case names while copies often end up lower-case.
    return QStringLiteral("*.MP4 *.MOV *.3GP *.AVI *.mp4 *.mov *.3gp *.avi");
}

CMediaOpenDialog::CMediaOpenDialog(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("MediaOpenDialog"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    // Children in tab order.
    m_radioDisk = new QRadioButton(QStringLiteral("Disk"), this);
    m_cbDrive = new QComboBox(this);
    m_radioFile = new QRadioButton(QStringLiteral("File"), this);
    m_editFile = new QLineEdit(this);
    m_btnBrowseFile = new QPushButton(QStringLiteral("..."), this);
    m_radioFolder = new QRadioButton(QStringLiteral("Folder"), this);
    m_editFolder = new QLineEdit(this);
    m_btnBrowseFolder = new QPushButton(QStringLiteral("..."), this);
    m_btnOk = new QPushButton(QStringLiteral("OK"), this);
    m_btnCancel = new QPushButton(QStringLiteral("Cancel"), this);

    m_sources = new QButtonGroup(this);
    m_sources->addButton(m_radioDisk, IDC_SOURCE_DISK);
    m_sources->addButton(m_radioFile, IDC_SOURCE_FILE);
    m_sources->addButton(m_radioFolder, IDC_SOURCE_FOLDER);
    m_cbDrive->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (QLineEdit* edit : {m_editFile, m_editFolder})
        edit->setReadOnly(true);
    for (QPushButton* browse : {m_btnBrowseFile, m_btnBrowseFolder})
        browse->setAutoDefault(false);
    m_btnCancel->setAutoDefault(false);
    m_btnOk->setDefault(true);

    connect(m_btnBrowseFile, &QPushButton::clicked, this, &CMediaOpenDialog::OnBrowseFile);
    connect(m_btnBrowseFolder, &QPushButton::clicked, this, &CMediaOpenDialog::OnBrowseFolder);
    connect(m_btnOk, &QPushButton::clicked, this, &CMediaOpenDialog::accept);
    connect(m_btnCancel, &QPushButton::clicked, this, &CMediaOpenDialog::reject);
    connect(m_sources, &QButtonGroup::idClicked, this, [this] { UpdateSource(); });
}

void CMediaOpenDialog::showEvent(QShowEvent* event) {
    if (!m_bInitialised)
        OnInitDialog();
    QDialog::showEvent(event);
}

void CMediaOpenDialog::OnInitDialog() {
    m_bInitialised = true;
    SelectSourceRadio(IDC_SOURCE_FILE);
    setWindowTitle(LoadLangString(StringId::OpenDialogCaption));
    m_radioDisk->setText(LoadLangString(StringId::SourceDisk));
    m_radioFile->setText(LoadLangString(StringId::SourceFile));
    m_radioFolder->setText(LoadLangString(StringId::SourceFolder));
    m_btnOk->setText(LoadLangString(StringId::ButtonOk));
    m_btnCancel->setText(LoadLangString(StringId::ButtonCancel));
    FillDriveList();
    m_editFolder->setText(CAppSettings::GetInstance().ReadLastFolder());
    LayoutControls();
}

void CMediaOpenDialog::FillDriveList() {
    m_cbDrive->clear();
    int chosen = -1;
    for (const DriveItem& item : BuildDriveItems(ListVolumes())) {
        if (item.mountPoint == LastChosenDrive())
            chosen = m_cbDrive->count();
        m_cbDrive->addItem(item.text, item.mountPoint);
    }
    // Removable media come first: without an earlier choice the first
    // item is the likeliest card.
    if (chosen < 0 && m_cbDrive->count() > 0)
        chosen = 0;
    m_cbDrive->setCurrentIndex(chosen);
}

void CMediaOpenDialog::LayoutControls() {
    // The template's places in dialog units; a control whose text needs
    // more room grows, and what stands right of it moves along.
    struct Radio {
        QRadioButton* button;
        QRect place;
    };
    const Radio radios[] = {{m_radioDisk, DluRect(7, 29, 29, 10)},
                            {m_radioFile, DluRect(8, 52, 27, 10)},
                            {m_radioFolder, DluRect(7, 77, 36, 10)}};
    int radiosRight = 0;
    for (const Radio& radio : radios) {
        const QSize hint = radio.button->sizeHint();
        const QRect place =
            OnRow(radio.place, std::max(radio.place.width(), hint.width()), hint.height());
        radio.button->setGeometry(place);
        radiosRight = std::max(radiosRight, place.right() + 1);
    }
    const int fieldsLeft = std::max(DluToPixelsX(61), radiosRight + DluToPixelsX(4));
    const int shift = fieldsLeft - DluToPixelsX(61);
    const auto shifted = [shift](QRect rect) { return rect.translated(shift, 0); };

    const QRect fileEdit = shifted(DluRect(61, 48, 264, 14));
    const int comboWidth =
        std::clamp(m_cbDrive->sizeHint().width(), DluToPixelsX(92), fileEdit.width());
    const QRect comboPlace = shifted(DluRect(61, 27, 92, 12));
    m_cbDrive->setGeometry(comboPlace.x(), comboPlace.y(), comboWidth,
                           std::max(comboPlace.height(), m_cbDrive->sizeHint().height()));
    m_editFile->setGeometry(OnRow(fileEdit, fileEdit.width(), m_editFile->sizeHint().height()));
    const QRect folderEdit = shifted(DluRect(61, 73, 264, 14));
    m_editFolder->setGeometry(
        OnRow(folderEdit, folderEdit.width(), m_editFolder->sizeHint().height()));
    const QRect browseFile = shifted(DluRect(326, 48, 24, 13));
    m_btnBrowseFile->setGeometry(OnRow(browseFile, ButtonWidth(m_btnBrowseFile, browseFile.width()),
                                       m_editFile->geometry().height()));
    const QRect browseFolder = shifted(DluRect(325, 73, 25, 13));
    m_btnBrowseFolder->setGeometry(OnRow(browseFolder,
                                         ButtonWidth(m_btnBrowseFolder, browseFolder.width()),
                                         m_editFolder->geometry().height()));

    // OK and Cancel keep their right edges, growing to the left.
    const int buttonHeight = std::max(DluToPixelsY(14), m_btnOk->sizeHint().height());
    const QRect cancel = shifted(DluRect(326, 96, 50, 14));
    const int cancelWidth = ButtonWidth(m_btnCancel, cancel.width());
    m_btnCancel->setGeometry(cancel.right() + 1 - cancelWidth, cancel.y(), cancelWidth,
                             buttonHeight);
    const QRect ok = shifted(DluRect(272, 96, 50, 14));
    const int okWidth = ButtonWidth(m_btnOk, ok.width());
    const int okRight = std::min(ok.right() + 1, m_btnCancel->x() - DluToPixelsX(4));
    m_btnOk->setGeometry(okRight - okWidth, cancel.y(), okWidth, buttonHeight);

    int width = DluToPixelsX(383) + shift;
    int height = DluToPixelsY(117);
    for (QWidget* child :
         {static_cast<QWidget*>(m_btnBrowseFile), static_cast<QWidget*>(m_btnBrowseFolder),
          static_cast<QWidget*>(m_btnCancel)}) {
        width = std::max(width, child->geometry().right() + 1 + DluToPixelsX(7));
        height = std::max(height, child->geometry().bottom() + 1 + DluToPixelsY(7));
    }
    setFixedSize(width, height);
}

void CMediaOpenDialog::SelectSourceRadio(int controlId) {
    for (QAbstractButton* button : m_sources->buttons())
        button->setChecked(false);
    if (QAbstractButton* button = m_sources->button(controlId))
        button->setChecked(true);
    UpdateSource();
}

void CMediaOpenDialog::UpdateSource() {
    switch (m_sources->checkedId()) {
    case IDC_SOURCE_DISK:
        m_nSource = kSourceDisk;
        break;
    case IDC_SOURCE_FOLDER:
        m_nSource = kSourceFolder;
        break;
    default:
        m_nSource = kSourceFile;
        break;
    }
}

QString CMediaOpenDialog::PickFile() {
    return QFileDialog::getOpenFileName(this, QString(), QString(), RecordingFileFilter());
}

int CMediaOpenDialog::PickFolder(const QString& initialFolder, QString& chosen) {
    CFolderDialog browser(this, LoadLangString(StringId::SelectFolder), initialFolder);
    const int result = browser.DoModal();
    chosen = browser.PathName();
    return result;
}

void CMediaOpenDialog::OnBrowseFile() {
    const QString path = PickFile();
    if (path.isEmpty())
        return;
    m_strFile = path;
    m_editFile->setText(path);
    SelectSourceRadio(IDC_SOURCE_FILE);
}

void CMediaOpenDialog::OnBrowseFolder() {
    CAppSettings& settings = CAppSettings::GetInstance();
    QString chosen;
    if (PickFolder(settings.ReadLastFolder(), chosen) != CFolderDialog::kChosen)
        return;
    m_editFolder->setText(chosen);
    m_strFolder = chosen;
    SelectSourceRadio(IDC_SOURCE_FOLDER);
    if (!QFileInfo(m_strFolder).isDir())
        m_strFolder.clear();
    // Remembered at once: a Cancel afterwards keeps it for the next time.
    settings.WriteString(KolvexIni::kSectionUI, KolvexIni::kFolder, m_strFolder);
}

void CMediaOpenDialog::accept() {
    UpdateSource();
    m_strDrive = m_cbDrive->currentIndex() >= 0 ? m_cbDrive->currentData().toString() : QString();
    if (!m_strDrive.isEmpty())
        LastChosenDrive() = m_strDrive;
    m_strFolder = m_editFolder->text();
    QDialog::accept();
}

} // namespace kolvex
