// The map view: the local map page in an embedded browser, driven by
// one-line script calls (movpos, path_plot, path_delete, pathdrived_plot,
// pathdrived_delete).
#pragma once

#include <QFrame>
#include <QString>
#include <QUrl>

class QVBoxLayout;
class QWebEngineView;
class QWebEnginePage;
class QWebEngineLoadingInfo;

namespace kolvex {

class ScriptBatcher;

// Numbers standing for the two pages, as the main window names them.
inline constexpr int IDR_HTML_YMAP = 143; // map type 0, ymap.html
inline constexpr int IDR_HTML_BMAP = 145; // map type 1, bmap.html

// Object name of the main window's placeholder widget (control 1004) whose
// place the map view takes.
inline constexpr const char* kMapPlaceholderName = "mapPlaceholder";

// qrc: address of a page; a non-empty tile address template replaces the
// page's built-in one (query "tiles").
QUrl MapPageUrl(int resourceId, const QString& tileUrlTemplate);

class CHtmlMapDlg : public QFrame {
    Q_OBJECT
public:
    explicit CHtmlMapDlg(QWidget* parent = nullptr);
    ~CHtmlMapDlg() override;

    // Map type in force: 0 Yandex map, 1 China map; set before each load.
    int m_nMapType = 0;

    // Tile address template for a map type ({x}, {y}, {z}, {s}); empty means
    // the page's built-in address. Applies from the next load.
    void SetTileUrl(int mapType, const QString& tileUrlTemplate);
    QString TileUrl(int mapType) const;

    // Loads IDR_HTML_YMAP or IDR_HTML_BMAP; false for any other number.
    // Everything the previous page showed is gone; statements issued from
    // now on reach the new page once it has loaded.
    bool LoadFromResource(int resourceId);
    // Loads the page for m_nMapType (IDR_HTML_BMAP for 1, else IDR_HTML_YMAP).
    bool LoadMapPage();

    // Takes the place of the main window's placeholder (found by
    // kMapPlaceholderName), 2 pixels inside it on every side, and removes the
    // placeholder. false when the main window has none.
    bool PlaceOnPlaceholder(QWidget* mainWindow);

    // Moves the car marker; the coordinates are in degrees-and-minutes form
    // (stored value / 100). Always true.
    bool MoveMarker(double lat, double lon);
    // Runs one statement on the page, after every statement issued before
    // it. Always true: the page's result is not waited for.
    bool RunScript(const QString& statement);

    // Whether the page has finished loading (statements run at once).
    bool IsPageReady() const;
    // One script call per statement instead of one per event-loop turn;
    // only for measuring what batching saves.
    void SetBatching(bool batching);

    QWebEngineView* View() const { return m_pView; }
    QWebEnginePage* Page() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void EmbedView();
    void OnLoadingChanged(const QWebEngineLoadingInfo& info);
    void WatchRightClicks(QObject* object);

    QWidget* m_pViewHost = nullptr;  // top-level widget window holding the browser
    QWidget* m_pContainer = nullptr; // embeds m_pViewHost's native window here
    QVBoxLayout* m_pLayout = nullptr;
    QWebEngineView* m_pView = nullptr;
    ScriptBatcher* m_pBatcher = nullptr;
    QUrl m_requestedUrl;
    int m_nLoadedResource = 0; // the page asked for last, 0 before the first load
    QString m_tileUrls[2];
};

} // namespace kolvex
