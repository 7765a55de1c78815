// The small panel F1 shows: each key of the window beside what it does, in
// the current language. It closes on any key or click.
#pragma once

#include <QFrame>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace kolvex {

class CShortcutPanel : public QFrame {
    Q_OBJECT
public:
    explicit CShortcutPanel(QWidget* parent);

    // The lines in the current language: keys as the desktop names them,
    // then what they do.
    static std::vector<std::pair<QString, QString>> Lines();
    QString Title() const { return m_strTitle; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString m_strTitle;
};

} // namespace kolvex
