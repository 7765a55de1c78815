#include "html_map_dlg.h"

#include "marker_statement.h"
#include "register_map_pages.h"
#include "script_batcher.h"
#include "silent_web_page.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QUrlQuery>
#include <QVBoxLayout>
#include <QWebEngineLoadingInfo>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace kolvex {

QUrl MapPageUrl(int resourceId, const QString& tileUrlTemplate) {
    QUrl url(resourceId == IDR_HTML_BMAP ? QStringLiteral("qrc:/map-web/bmap.html")
                                         : QStringLiteral("qrc:/map-web/ymap.html"));
    if (!tileUrlTemplate.trimmed().isEmpty()) {
        // Fully encoded, so that '&' and '=' of the template survive.
        url.setQuery(QStringLiteral("tiles=") +
                         QString::fromLatin1(QUrl::toPercentEncoding(tileUrlTemplate.trimmed())),
                     QUrl::StrictMode);
    }
    return url;
}

namespace {

// The browser may re-encode the query, so compare its decoded value.
bool IsSamePage(const QUrl& reported, const QUrl& requested) {
    const auto bare = QUrl::RemoveQuery | QUrl::RemoveFragment;
    const auto tiles = [](const QUrl& url) {
        return QUrlQuery(url).queryItemValue(QStringLiteral("tiles"), QUrl::FullyDecoded);
    };
    return reported.adjusted(bare) == requested.adjusted(bare) &&
           tiles(reported) == tiles(requested);
}

// The window that holds the browser. It is a top-level widget only for Qt;
// on the screen it is a child of the map's frame, so a key the page leaves
// unused goes on to the frame (and from there up to the main window) as it
// would from any other child.
class MapViewHost : public QWidget {
public:
    explicit MapViewHost(QWidget* keyTarget)
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), m_keyTarget(keyTarget) {}

protected:
    void keyPressEvent(QKeyEvent* event) override { Forward(event); }
    void keyReleaseEvent(QKeyEvent* event) override { Forward(event); }

private:
    void Forward(QKeyEvent* event) {
        event->ignore();
        if (m_keyTarget)
            QCoreApplication::sendEvent(m_keyTarget, event);
    }

    QPointer<QWidget> m_keyTarget;
};

} // namespace

CHtmlMapDlg::CHtmlMapDlg(QWidget* parent) : QFrame(parent) {
    RegisterMapPages();
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);

    // The browser draws through OpenGL, and a widget window that holds such
    // a child is composed as a whole through OpenGL at every update: where
    // OpenGL is software, that costs more than everything else the window
    // draws. The view therefore lives in a window of its own (a top-level
    // widget, so with its own backing store) whose native window is
    // embedded here; the main window stays a plain raster window.
    m_pViewHost = new MapViewHost(this);
    m_pView = new QWebEngineView(m_pViewHost);
    auto* page = new SilentWebPage(m_pView);
    m_pView->setPage(page);
    m_pView->setContextMenuPolicy(Qt::NoContextMenu);
    QWebEngineSettings* settings = page->settings();
    settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    settings->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);

    auto* hostLayout = new QVBoxLayout(m_pViewHost);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    hostLayout->addWidget(m_pView);
    // Embedded at the first show (EmbedView), once the main window has a
    // native window to hold the browser's.
    m_pLayout = new QVBoxLayout(this);
    m_pLayout->setContentsMargins(0, 0, 0, 0);

    m_pBatcher =
        new ScriptBatcher([page](const QString& script) { page->runJavaScript(script); }, this);
    connect(page, &QWebEnginePage::loadingChanged, this, &CHtmlMapDlg::OnLoadingChanged);
    // A crashed page would otherwise swallow every later call: load it again.
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                if (status != QWebEnginePage::NormalTerminationStatus && m_nLoadedResource != 0)
                    LoadFromResource(m_nLoadedResource);
            });
    WatchRightClicks(m_pView);
}

CHtmlMapDlg::~CHtmlMapDlg() {
    // The container deletes the embedded window, not the widget that owns it.
    delete m_pViewHost;
}

void CHtmlMapDlg::SetTileUrl(int mapType, const QString& tileUrlTemplate) {
    if (mapType == 0 || mapType == 1)
        m_tileUrls[mapType] = tileUrlTemplate;
}

QString CHtmlMapDlg::TileUrl(int mapType) const {
    return mapType == 0 || mapType == 1 ? m_tileUrls[mapType] : QString();
}

bool CHtmlMapDlg::LoadFromResource(int resourceId) {
    if (resourceId != IDR_HTML_YMAP && resourceId != IDR_HTML_BMAP)
        return false;
    m_pBatcher->Reset();
    m_nLoadedResource = resourceId;
    m_requestedUrl = MapPageUrl(resourceId, m_tileUrls[resourceId == IDR_HTML_BMAP ? 1 : 0]);
    m_pView->load(m_requestedUrl);
    return true;
}

bool CHtmlMapDlg::LoadMapPage() {
    return LoadFromResource(m_nMapType == 1 ? IDR_HTML_BMAP : IDR_HTML_YMAP);
}

void CHtmlMapDlg::OnLoadingChanged(const QWebEngineLoadingInfo& info) {
    // A load that was replaced by a newer one reports too; only the page
    // asked for last decides. (Loading the same page again while it loads
    // is folded into the running load, which then reports for both.)
    if (!IsSamePage(info.url(), m_requestedUrl))
        return;
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadSucceededStatus:
        m_pBatcher->SetReady();
        break;
    case QWebEngineLoadingInfo::LoadFailedStatus:
        m_pBatcher->SetFailed();
        break;
    default:
        break;
    }
}

bool CHtmlMapDlg::PlaceOnPlaceholder(QWidget* mainWindow) {
    if (mainWindow == nullptr)
        return false;
    QWidget* placeholder = mainWindow->findChild<QWidget*>(QLatin1String(kMapPlaceholderName));
    if (placeholder == nullptr)
        return false;
    const QRect area(placeholder->mapTo(mainWindow, QPoint(0, 0)), placeholder->size());
    delete placeholder;

    setParent(mainWindow);
    setGeometry(area.adjusted(2, 2, -2, -2));
    raise();
    show();
    return true;
}

void CHtmlMapDlg::showEvent(QShowEvent* event) {
    QFrame::showEvent(event);
    EmbedView();
}

void CHtmlMapDlg::EmbedView() {
    // A window container made before its top-level window exists holds an
    // orphan that it never shows; made now, it takes the browser's window
    // in as a native child of this frame.
    if (m_pContainer != nullptr || window()->windowHandle() == nullptr)
        return;
    m_pViewHost->winId();
    m_pContainer = QWidget::createWindowContainer(m_pViewHost->windowHandle(), this);
    m_pContainer->setFocusPolicy(Qt::NoFocus);
    m_pLayout->addWidget(m_pContainer);
    m_pContainer->show();
}

bool CHtmlMapDlg::MoveMarker(double lat, double lon) {
    return RunScript(MarkerStatement(lat, lon));
}

bool CHtmlMapDlg::RunScript(const QString& statement) {
    m_pBatcher->Add(statement);
    return true;
}

bool CHtmlMapDlg::IsPageReady() const {
    return m_pBatcher->IsReady();
}

void CHtmlMapDlg::SetBatching(bool batching) {
    m_pBatcher->SetBatching(batching);
}

QWebEnginePage* CHtmlMapDlg::Page() const {
    return m_pView->page();
}

void CHtmlMapDlg::WatchRightClicks(QObject* object) {
    object->installEventFilter(this);
    for (QObject* child : object->children())
        if (child->isWidgetType())
            WatchRightClicks(child);
}

bool CHtmlMapDlg::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ChildAdded: {
        // The browser creates its drawing widget when a page is loaded.
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType())
            WatchRightClicks(child);
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        // Right-clicks never reach the page: no context menu, no page action.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
            return true;
        break;
    case QEvent::ContextMenu:
        return true;
    default:
        break;
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace kolvex
