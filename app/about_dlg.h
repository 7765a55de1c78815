// CAboutDlg: the program's icon, its version and build date, one line of
// text and OK.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace kolvex {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* owner = nullptr);

    // "KOLVEX Version <version> (<build date>)".
    static QString VersionLine();
    // A menu item's text as a window caption: without its mnemonic
    // ("&About", "(&A)") and its trailing "...".
    static QString CaptionFromMenuText(QString text);

    QLabel* m_icon;
    QLabel* m_version;
    QLabel* m_text;
    QPushButton* m_btnOk;

private:
    void LayoutControls();
};

} // namespace kolvex
