#include "folder_dialog.h"

#include <QFileDialog>
#include <QUrl>

namespace kolvex {

CFolderDialog::CFolderDialog(QWidget* owner, const QString& title, const QString& initialFolder)
    : m_pOwner(owner), m_strTitle(title), m_strInitialFolder(initialFolder) {}

int CFolderDialog::DoModal() {
    m_strPath.clear();
    QFileDialog browser(m_pOwner, m_strTitle);
    browser.setObjectName(QStringLiteral("FolderBrowser"));
    browser.setFileMode(QFileDialog::Directory);
    browser.setOption(QFileDialog::ShowDirsOnly, true);
    browser.setAcceptMode(QFileDialog::AcceptOpen);
    if (!m_strInitialFolder.isEmpty())
        browser.setDirectory(m_strInitialFolder);
    if (browser.exec() != QDialog::Accepted)
        return kCancelled;
    const QList<QUrl> urls = browser.selectedUrls();
    if (urls.isEmpty() || !urls.front().isLocalFile())
        return kNoPath;
    m_strPath = urls.front().toLocalFile();
    return m_strPath.isEmpty() ? kNoPath : kChosen;
}

} // namespace kolvex
