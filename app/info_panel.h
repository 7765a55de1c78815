// A small panel over the window: a title and lines of two columns, in the
// current language. F1 shows the keys of the window, T the trip figures of
// the current recording and its group. It closes on any key or click.
#pragma once

#include <QFrame>
#include <QString>

#include <utility>
#include <vector>

namespace kolvex {

using InfoLines = std::vector<std::pair<QString, QString>>;

class CInfoPanel : public QFrame {
    Q_OBJECT
public:
    CInfoPanel(QWidget* parent, const QString& title, const InfoLines& lines);

    // The keys of the window as the desktop names them, beside what they do.
    static InfoLines ShortcutLines();
    QString Title() const { return m_strTitle; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString m_strTitle;
};

} // namespace kolvex
