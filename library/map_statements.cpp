#include "map_statements.h"

#include "map/kml/fixed_point_text.h"
#include "tracks/track_math.h"

#include <string>

namespace kolvex {

namespace {

QString PlotStatement(const char* function, const GpsSample& sample, bool withSpeed = false) {
    std::string text = function;
    text += '(';
    AppendFixed6(text, DdmmToDegrees(sample.latitude / 100));
    text += ',';
    AppendFixed6(text, DdmmToDegrees(sample.longitude / 100));
    if (withSpeed) {
        text += ',';
        text += std::to_string(sample.speed);
    }
    text += ')';
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QString PathPlotStatement(const GpsSample& sample) {
    return PlotStatement("path_plot", sample);
}

QString DrivenPathPlotStatement(const GpsSample& sample) {
    return PlotStatement("pathdrived_plot", sample);
}

QString SpeedRoutePlotStatement(const GpsSample& sample) {
    return PlotStatement("speedroute_plot", sample, true);
}

QString EventMarkStatement(const GpsSample& sample, const QString& label) {
    QString statement = PlotStatement("event_mark", sample);
    statement.chop(1);
    statement += QStringLiteral(",\"");
    for (const QChar c : label) {
        if (c == u'"' || c == u'\\')
            statement += u'\\';
        if (c.unicode() < 0x20 || c == QChar(0x2028) || c == QChar(0x2029))
            statement += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            statement += c;
    }
    statement += QStringLiteral("\")");
    return statement;
}

} // namespace kolvex
