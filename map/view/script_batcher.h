// Collects the statements sent to a web page and hands them to the page in
// order, one script call per turn of the event loop.
//
// A path is thousands of one-line statements issued in a row; each script
// call crosses into the browser process, so one call per statement costs far
// more than the statements themselves. Statements issued before the page is
// ready wait for it instead of being lost.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace kolvex {

class ScriptBatcher : public QObject {
    Q_OBJECT
public:
    using Executor = std::function<void(const QString& script)>;

    explicit ScriptBatcher(Executor executor, QObject* parent = nullptr);

    // Queues a statement; it runs after every statement queued before it.
    void Add(const QString& statement);

    // A new page is being loaded: what was queued for the old one is dropped
    // and new statements wait until SetReady.
    void Reset();
    // The page has loaded: queued statements run in the next turn.
    void SetReady();
    // The page could not be loaded: statements go nowhere until the next Reset.
    void SetFailed();

    // false: one script call per statement (for comparison in benchmarks).
    void SetBatching(bool batching) { m_bBatching = batching; }

    bool IsReady() const { return m_state == State::Ready; }
    qsizetype PendingCount() const { return m_pending.size(); }

    // One script that runs the statements in order; an exception in one does
    // not keep the next ones from running, as with separate calls.
    static QString JoinStatements(const QStringList& statements);

private:
    enum class State { Loading, Ready, Failed };

    void ScheduleFlush();
    void Flush();

    Executor m_executor;
    QStringList m_pending;
    State m_state = State::Loading;
    bool m_bFlushScheduled = false;
    bool m_bBatching = true;
};

} // namespace kolvex
