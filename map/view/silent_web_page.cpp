#include "silent_web_page.h"

namespace kolvex {

void SilentWebPage::javaScriptAlert(const QUrl&, const QString&) {}

bool SilentWebPage::javaScriptConfirm(const QUrl&, const QString&) {
    return false;
}

bool SilentWebPage::javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) {
    return false;
}

void SilentWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                             const QString&) {}

bool SilentWebPage::acceptNavigationRequest(const QUrl& url, NavigationType type,
                                            bool isMainFrame) {
    // The map is a fixed page: a click on a tile attribution link must not
    // replace it inside the player.
    if (isMainFrame && type == NavigationTypeLinkClicked)
        return false;
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

} // namespace kolvex
