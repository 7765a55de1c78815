// The marker call's text: degrees-and-minutes conversion and C-locale "%f".
#include "marker_statement.h"

#include <QDir>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <clocale>
#include <cstdio>
#include <cstdlib>

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
        const QString localedef = QStandardPaths::findExecutable("localedef");
        if (localedef.isEmpty())
            QSKIP("localedef is not installed");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString target = QDir(dir.path()).filePath("de_DE.UTF-8");
        QCOMPARE(QProcess::execute(localedef, {"-i", "de_DE", "-f", "UTF-8", target}), 0);
        qputenv("LOCPATH", dir.path().toLocal8Bit());
        QVERIFY(std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        char probe[32];
        std::snprintf(probe, sizeof probe, "%f", 1.5);
        QCOMPARE(probe, "1,500000"); // the locale really is in force

        QCOMPARE(kolvex::MarkerStatement(48.0830, 11.3430), "movpos(48.138333, 11.571667)");
        QCOMPARE(kolvex::FixedSixDecimals(1234567.25), "1234567.250000");

        std::setlocale(LC_ALL, "C");
        QLocale::setDefault(QLocale::c());
        qunsetenv("LOCPATH");
    }
};

QTEST_GUILESS_MAIN(MarkerStatementTest)
#include "marker_statement_test.moc"
