// CFolderDialog: picks one folder with the system's folder browser.
#pragma once

#include <QString>

class QWidget;

namespace kolvex {

class CFolderDialog {
public:
    enum Result { kChosen = 1, kCancelled = 2, kNoPath = -1 };

    // `initialFolder`, when not empty, is selected when the browser opens.
    CFolderDialog(QWidget* owner, const QString& title, const QString& initialFolder = QString());
    virtual ~CFolderDialog() = default;

    // kChosen with the folder's path in PathName(); kNoPath when the chosen
    // folder has no local path; kCancelled when the browser was closed.
    virtual int DoModal();
    const QString& PathName() const { return m_strPath; }

private:
    QWidget* m_pOwner;
    QString m_strTitle;
    QString m_strInitialFolder;
    QString m_strPath;
};

} // namespace kolvex
