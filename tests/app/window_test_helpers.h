// What the window tests share: waiting on the event loop, and answering the
// message boxes the window shows.
#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QTimer>

namespace kolvex::testing {

// Runs the event loop until `done` holds or `ms` have passed.
template <typename Condition> inline bool WaitFor(Condition done, int ms = 3000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QTest::qWait(10);
    return done();
}

// While it lives, answers every message box with `button`; m_text is the
// last box's text, m_texts all of them.
class BoxAnswer {
public:
    explicit BoxAnswer(QMessageBox::StandardButton button) {
        QObject::connect(&m_poll, &QTimer::timeout, &m_poll, [this, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box == m_answered)
                return;
            m_answered = box;
            m_text = box->text();
            m_texts << m_text;
            box->button(button)->click();
        });
        m_poll.start(10);
    }
    QString m_text;
    QStringList m_texts;

private:
    QTimer m_poll;
    QPointer<QMessageBox> m_answered;
};

} // namespace kolvex::testing
