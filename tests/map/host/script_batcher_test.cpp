// Queueing and batching of page statements, against a recording executor.
#include "script_batcher.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTest>

using kolvex::ScriptBatcher;

class ScriptBatcherTest : public QObject {
    Q_OBJECT

    QStringList m_calls;
    ScriptBatcher* m_batcher = nullptr;

    static void Turn() { QCoreApplication::processEvents(); }

private slots:
    void init() {
        m_calls.clear();
        m_batcher = new ScriptBatcher([this](const QString& script) { m_calls << script; }, this);
    }
    void cleanup() { delete m_batcher; }

    void statementsBeforeLoadRunInOrderOnceReady() {
        m_batcher->Add("path_delete()");
        m_batcher->Add("path_plot(1.000000,2.000000)");
        Turn();
        QVERIFY(m_calls.isEmpty());
        m_batcher->SetReady();
        m_batcher->Add("movpos(1.000000, 2.000000)");
        QVERIFY(m_calls.isEmpty()); // never synchronously
        Turn();
        QCOMPARE(m_calls, QStringList{ScriptBatcher::JoinStatements(
                              {"path_delete()", "path_plot(1.000000,2.000000)",
                               "movpos(1.000000, 2.000000)"})});
    }

    void oneCallPerTurnKeepingTextsAndOrder() {
        m_batcher->SetReady();
        m_batcher->Add("a()");
        m_batcher->Add("b() // trailing comment");
        Turn();
        m_batcher->Add("c()");
        Turn();
        Turn();
        QCOMPARE(m_calls.size(), 2);
        QCOMPARE(m_calls[0], "try{a()\n}catch(e){}\ntry{b() // trailing comment\n}catch(e){}\n");
        QCOMPARE(m_calls[1], "try{c()\n}catch(e){}\n");
    }

    void withoutBatchingEachStatementIsItsOwnCall() {
        m_batcher->SetBatching(false);
        m_batcher->Add("a()");
        m_batcher->Add("b()");
        m_batcher->SetReady();
        Turn();
        QCOMPARE(m_calls, (QStringList{"a()", "b()"}));
    }

    void newPageDropsWhatWasQueuedForTheOldOne() {
        m_batcher->Add("old()");
        m_batcher->Reset();
        m_batcher->Add("new()");
        m_batcher->SetReady();
        Turn();
        QCOMPARE(m_calls, QStringList{ScriptBatcher::JoinStatements({"new()"})});
    }

    void failedPageSwallowsStatementsUntilTheNextLoad() {
        m_batcher->Add("lost()");
        m_batcher->SetFailed();
        m_batcher->Add("lost too()");
        Turn();
        QVERIFY(m_calls.isEmpty());
        QCOMPARE(m_batcher->PendingCount(), 0);
        m_batcher->Reset();
        m_batcher->Add("kept()");
        m_batcher->SetReady();
        Turn();
        QCOMPARE(m_calls.size(), 1);
    }
};

QTEST_GUILESS_MAIN(ScriptBatcherTest)
#include "script_batcher_test.moc"
