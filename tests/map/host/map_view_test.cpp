// The map view with the real pages in the embedded browser: statements issued
// before the page has loaded, batching, hidden views, reloads, right-clicks
// and placement over the main window's placeholder.
#include "german_locale.h"
#include "html_map_dlg.h"
#include "web_engine_setup.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>

using kolvex::CHtmlMapDlg;

namespace {

constexpr int kLoadTimeoutMs = 30000;

// Runs queued statements, then reads kolvexMapState() from the page.
QJsonObject MapState(CHtmlMapDlg& map) {
    QCoreApplication::processEvents();
    QVariant result;
    bool done = false;
    map.Page()->runJavaScript(QStringLiteral("kolvexMapState()"), [&](const QVariant& value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, kLoadTimeoutMs))
        return {};
    return QJsonDocument::fromJson(result.toString().toUtf8()).object();
}

QJsonArray Point(double lat, double lon) {
    return QJsonArray{lat, lon};
}

bool WaitUntilReady(CHtmlMapDlg& map) {
    return QTest::qWaitFor([&] { return map.IsPageReady(); }, kLoadTimeoutMs);
}

} // namespace

class MapViewTest : public QObject {
    Q_OBJECT

private slots:
    void statementsIssuedBeforeLoadReachThePageInOrder() {
        CHtmlMapDlg map; // never shown: calls must reach a hidden page too
        map.m_nMapType = 0;
        QVERIFY(map.LoadMapPage());
        QVERIFY(map.RunScript("pathdrived_delete()"));
        QVERIFY(map.RunScript("path_delete()"));
        for (int i = 0; i < 200; ++i)
            map.RunScript(QStringLiteral("path_plot(48.%1,11.500000)").arg(100000 + i));
        map.RunScript("pathdrived_plot(48.100000,11.500000)");
        QVERIFY(map.MoveMarker(48.0600, 11.3000)); // 48 deg 6 min, 11 deg 30 min
        QVERIFY(!map.IsPageReady());
        QVERIFY(WaitUntilReady(map));

        const QJsonObject state = MapState(map);
        const QJsonArray path = state["path"].toArray();
        QCOMPARE(path.size(), 200);
        QCOMPARE(path.first(), Point(48.1, 11.5));
        QCOMPARE(path.last(), Point(48.100199, 11.5));
        QCOMPARE(state["driven"].toArray(), QJsonArray{Point(48.1, 11.5)});
        QCOMPARE(state["marker"], Point(48.1, 11.5));
        QVERIFY(map.isHidden());
    }

    // Statements are joined into one call; each still runs on its own terms.
    void aFailingOrNoisyStatementDoesNotStopTheOthers() {
        CHtmlMapDlg map;
        map.LoadMapPage();
        QVERIFY(WaitUntilReady(map));
        map.RunScript("path_plot(10.000000,20.000000) // first");
        map.RunScript("throw new Error('boom')");
        map.RunScript("no_such_function(1)");
        // The view is silent: a dialog here would stall the player.
        map.RunScript("alert('boom'); confirm('sure?'); prompt('name?')");
        map.RunScript("path_plot(10.500000,20.500000)");
        const QJsonObject state = MapState(map);
        QCOMPARE(state["path"].toArray(), (QJsonArray{Point(10, 20), Point(10.5, 20.5)}));
    }

    // A new page forgets the old one's drawing; what follows goes to it, in
    // its own datum.
    void reloadShowsTheOtherMapEmpty() {
        CHtmlMapDlg map;
        map.LoadMapPage();
        map.RunScript("path_plot(39.915000,116.404000)");
        QVERIFY(WaitUntilReady(map));
        QCOMPARE(MapState(map)["path"].toArray(), QJsonArray{Point(39.915, 116.404)});

        map.RunScript("path_plot(1.000000,1.000000)"); // issued for the old page
        map.m_nMapType = 1;
        map.SetTileUrl(1, "http://127.0.0.1:9/{z}/{x}/{y}.png?style=8&lang=zh");
        QVERIFY(map.LoadMapPage());
        map.RunScript("path_plot(39.915000,116.404000)");
        QVERIFY(WaitUntilReady(map));
        const QJsonObject state = MapState(map);
        QCOMPARE(state["crs"].toString(), "EPSG3857");
        QCOMPARE(state["tileUrl"].toString(), "http://127.0.0.1:9/{z}/{x}/{y}.png?style=8&lang=zh");
        const QJsonArray path = state["path"].toArray();
        QCOMPARE(path.size(), 1);
        QVERIFY(qAbs(path[0][0].toDouble() - 39.91640428150164) < 1e-9);
        QVERIFY(qAbs(path[0][1].toDouble() - 116.41024449916938) < 1e-9);
    }

    // The marker call must keep its full stops whatever the user's locale.
    void markerArrivesInAGermanLocale() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        if (const QString why = UseGermanLocale(dir); !why.isEmpty())
            QSKIP(qPrintable(why));
        CHtmlMapDlg map;
        map.LoadMapPage();
        QVERIFY(map.MoveMarker(48.0830, 11.3430));
        QVERIFY(WaitUntilReady(map));
        const QJsonObject state = MapState(map);
        UseCLocale();
        QCOMPARE(state["marker"], Point(48.138333, 11.571667));
    }

    // Closing the configuration dialog loads the page twice in a row.
    void statementsAfterARepeatedLoadAreKept_data() {
        QTest::addColumn<int>("turnsBetween");
        QTest::newRow("same turn") << 0;
        QTest::newRow("one turn") << 1;
        QTest::newRow("while loading") << 4;
        QTest::newRow("later") << 20;
    }
    void statementsAfterARepeatedLoadAreKept() {
        QFETCH(int, turnsBetween);
        CHtmlMapDlg map;
        map.LoadMapPage();
        for (int i = 0; i < turnsBetween; ++i)
            QTest::qWait(5);
        map.LoadMapPage();
        map.RunScript("path_plot(1.000000,2.000000)");
        QVERIFY(WaitUntilReady(map));
        QTest::qWait(500); // a late report of the first load must not matter
        QCOMPARE(MapState(map)["path"].toArray(), QJsonArray{Point(1, 2)});
    }

    // Statements must not vanish into a dead page after the renderer crashed.
    void pageComesBackAfterItsRendererCrashed() {
        CHtmlMapDlg map;
        map.LoadMapPage();
        QVERIFY(WaitUntilReady(map));
        QSignalSpy crashed(map.Page(), &QWebEnginePage::renderProcessTerminated);
        map.Page()->load(QUrl("chrome://crash"));
        QVERIFY(crashed.wait(kLoadTimeoutMs));
        map.RunScript("path_plot(3.000000,4.000000)");
        QVERIFY(WaitUntilReady(map));
        QCOMPARE(MapState(map)["path"].toArray(), QJsonArray{Point(3, 4)});
    }

    void unknownPageNumberIsRefused() {
        CHtmlMapDlg map;
        QVERIFY(!map.LoadFromResource(144));
        QVERIFY(map.LoadFromResource(kolvex::IDR_HTML_YMAP));
    }

    void rightClicksNeverReachThePage() {
        // In the screen's top-left corner, whatever the screen's size: the
        // playback test's screen-grabbing window keeps to the opposite one.
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QWidget window;
        window.setGeometry(QRect(area.topLeft(), QSize(400, 280)));
        auto* map = new CHtmlMapDlg(&window);
        map->setGeometry(0, 0, 400, 280);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY2(area.contains(window.frameGeometry()), "the window does not fit the screen");
        map->LoadMapPage();
        QVERIFY(WaitUntilReady(*map));
        map->RunScript(
            "window.kolvexButtons = [];"
            "document.addEventListener('mousedown', e => kolvexButtons.push(e.button), true);"
            "document.addEventListener('contextmenu', e => kolvexButtons.push('menu'), true);");
        QCoreApplication::processEvents();
        QWidget* surface = map->View()->focusProxy();
        QVERIFY(surface != nullptr);

        // The browser drops input until its first frame is up, so the clicks
        // are repeated until the left one arrives.
        QString buttons;
        for (int attempt = 0; attempt < 20 && buttons.isEmpty(); ++attempt) {
            QTest::mouseClick(surface, Qt::RightButton, {}, QPoint(200, 200));
            QTest::mouseDClick(surface, Qt::RightButton, {}, QPoint(210, 200));
            QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(220, 200));
            QTest::qWait(250);
            bool done = false;
            map->Page()->runJavaScript("kolvexButtons.join()", [&](const QVariant& value) {
                buttons = value.toString();
                done = true;
            });
            QVERIFY(QTest::qWaitFor([&] { return done; }, kLoadTimeoutMs));
        }
        QVERIFY(!buttons.isEmpty());
        // Left clicks only (button 0): no right button, no context menu.
        QVERIFY2(QRegularExpression("^0(,0)*$").match(buttons).hasMatch(), qPrintable(buttons));
    }

    void takesThePlaceholdersPlaceTwoPixelsInside() {
        QWidget mainWindow;
        mainWindow.resize(800, 560);
        auto* frame = new QWidget(&mainWindow);
        frame->setGeometry(100, 50, 600, 400);
        auto* placeholder = new QLabel(frame);
        placeholder->setObjectName(kolvex::kMapPlaceholderName);
        placeholder->setGeometry(20, 30, 317, 186);

        auto map = std::make_unique<CHtmlMapDlg>();
        QVERIFY(map->PlaceOnPlaceholder(&mainWindow));
        QCOMPARE(map->parentWidget(), &mainWindow);
        QCOMPARE(map->geometry(), QRect(122, 82, 313, 182));
        QVERIFY(mainWindow.findChild<QWidget*>(kolvex::kMapPlaceholderName) == nullptr);
        QVERIFY(!map->isHidden());
        CHtmlMapDlg* placed = map.release(); // owned by the main window now

        CHtmlMapDlg other;
        QVERIFY(!other.PlaceOnPlaceholder(&mainWindow));
        QVERIFY(!other.PlaceOnPlaceholder(nullptr));
        QCOMPARE(placed->parentWidget(), &mainWindow);
    }
};

int main(int argc, char** argv) {
    kolvex::PrepareWebEngineProcess();
    QApplication app(argc, argv);
    MapViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "map_view_test.moc"
