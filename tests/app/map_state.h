// The web map's state as its page reports it (kolvexMapState(): the path,
// the part driven, the car's marker, the event marks), for the window tests
// that play recordings with positions.
#pragma once

#include "map/view/html_map_dlg.h"
#include "window_test_helpers.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QVariant>
#include <QWebEnginePage>

namespace kolvex::testing {

inline QJsonObject MapState(CHtmlMapDlg& map) {
    QJsonObject state;
    bool answered = false;
    map.Page()->runJavaScript(QStringLiteral("kolvexMapState()"), [&](const QVariant& value) {
        state = QJsonDocument::fromJson(value.toString().toUtf8()).object();
        answered = true;
    });
    WaitFor([&] { return answered; }, 5000);
    return state;
}

} // namespace kolvex::testing
