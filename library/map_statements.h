// The statements the library sends to the map page's script.
#pragma once

#include "tracks/gps_sample.h"

#include <QString>

namespace kolvex {

inline const QString kPathDelete = QStringLiteral("path_delete()");
inline const QString kDrivenPathDelete = QStringLiteral("pathdrived_delete()");
inline const QString kSpeedRouteDelete = QStringLiteral("speedroute_delete()");
inline const QString kEventMarksDelete = QStringLiteral("eventmarks_delete()");
// Takes the car off the map until the next position comes.
inline const QString kMarkerDelete = QStringLiteral("marker_delete()");

// "path_plot(lat,lon)" or "pathdrived_plot(lat,lon)" for a stored sample,
// in decimal degrees, latitude first, six decimals with a full stop.
QString PathPlotStatement(const GpsSample& sample);
QString DrivenPathPlotStatement(const GpsSample& sample);
// "speedroute_plot(lat,lon,kmh)": a point of the route coloured by speed.
QString SpeedRoutePlotStatement(const GpsSample& sample);
// "event_mark(lat,lon,"label")": a driving event's mark; the label is
// written as a script string, quotes and control characters escaped.
QString EventMarkStatement(const GpsSample& sample, const QString& label);

} // namespace kolvex
