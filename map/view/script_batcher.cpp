#include "script_batcher.h"

#include <QMetaObject>

#include <utility>

namespace kolvex {

ScriptBatcher::ScriptBatcher(Executor executor, QObject* parent)
    : QObject(parent), m_executor(std::move(executor)) {}

void ScriptBatcher::Add(const QString& statement) {
    if (m_state == State::Failed)
        return;
    m_pending.append(statement);
    if (m_state == State::Ready)
        ScheduleFlush();
}

void ScriptBatcher::Reset() {
    m_pending.clear();
    m_state = State::Loading;
}

void ScriptBatcher::SetReady() {
    m_state = State::Ready;
    if (!m_pending.isEmpty())
        ScheduleFlush();
}

void ScriptBatcher::SetFailed() {
    m_pending.clear();
    m_state = State::Failed;
}

QString ScriptBatcher::JoinStatements(const QStringList& statements) {
    QString script;
    qsizetype length = 0;
    for (const QString& statement : statements)
        length += statement.size() + 16;
    script.reserve(length);
    for (const QString& statement : statements) {
        // The line break keeps a trailing // comment from swallowing the brace.
        script += QLatin1String("try{");
        script += statement;
        script += QLatin1String("\n}catch(e){}\n");
    }
    return script;
}

void ScriptBatcher::ScheduleFlush() {
    if (m_bFlushScheduled)
        return;
    m_bFlushScheduled = true;
    QMetaObject::invokeMethod(this, &ScriptBatcher::Flush, Qt::QueuedConnection);
}

void ScriptBatcher::Flush() {
    m_bFlushScheduled = false;
    if (m_state != State::Ready || m_pending.isEmpty())
        return;
    const QStringList statements = std::exchange(m_pending, {});
    if (m_bBatching) {
        m_executor(JoinStatements(statements));
        return;
    }
    for (const QString& statement : statements)
        m_executor(statement);
}

} // namespace kolvex
