// The library drives the map through IMapView; the map view itself is a
// widget of the map host. This joins the two.
#pragma once

#include "library/instrument_views.h"
#include "map/view/html_map_dlg.h"

namespace kolvex {

class MapViewLink : public IMapView {
public:
    explicit MapViewLink(CHtmlMapDlg* map) : m_pMap(map) {}
    bool RunScript(const QString& statement) override { return m_pMap->RunScript(statement); }
    bool MoveMarker(double latitude, double longitude) override {
        return m_pMap->MoveMarker(latitude, longitude);
    }

private:
    CHtmlMapDlg* m_pMap;
};

} // namespace kolvex
