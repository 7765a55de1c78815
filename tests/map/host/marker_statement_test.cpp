// The marker call's text: degrees-and-minutes conversion and C-locale "%f".
#include "marker_statement.h"

#include "german_locale.h"

#include <QTemporaryDir>
#include <QTest>

class MarkerStatementTest : public QObject {
    Q_OBJECT

private slots:
    void text_data() {
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::addColumn<QString>("statement");
        QTest::newRow("north east") << 22.3015 << 113.5678 << "movpos(22.502500, 113.946333)";
        QTest::newRow("stored 2232.6150") << 22.32615 << 0.0 << "movpos(22.543583, 0.000000)";
        QTest::newRow("south west symmetric")
            << -22.30 << -113.5678 << "movpos(-22.500000, -113.946333)";
        QTest::newRow("whole degrees") << 48.0 << 11.0 << "movpos(48.000000, 11.000000)";
        QTest::newRow("just below a degree")
            << 0.5959 << 179.5999 << "movpos(0.993167, 179.999833)";
    }
    void text() {
        QFETCH(double, lat);
        QFETCH(double, lon);
        QFETCH(QString, statement);
        QCOMPARE(kolvex::MarkerStatement(lat, lon), statement);
    }

    // QApplication adopts the user's locale for the C library; a German one
    // makes printf write "1,500000", which the page would read as two arguments.
    void fullStopInAGermanLocale() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        if (const QString why = UseGermanLocale(dir); !why.isEmpty())
            QSKIP(qPrintable(why));

        QCOMPARE(kolvex::MarkerStatement(48.0830, 11.3430), "movpos(48.138333, 11.571667)");
        QCOMPARE(kolvex::FixedSixDecimals(1234567.25), "1234567.250000");

        UseCLocale();
    }
};

QTEST_GUILESS_MAIN(MarkerStatementTest)
#include "marker_statement_test.moc"
