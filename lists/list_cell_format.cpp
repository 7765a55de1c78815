#include "list_cell_format.h"

#include <ctime>

namespace kolvex {

QString FormatLocalTime(int64_t secondsSince1970, const char* pattern) {
    const std::time_t t = static_cast<std::time_t>(secondsSince1970);
    std::tm local{};
    if (!localtime_r(&t, &local))
        return QString();
    char buffer[128];
    const size_t length = std::strftime(buffer, sizeof buffer, pattern, &local);
    return QString::fromLocal8Bit(buffer, static_cast<qsizetype>(length));
}

QString FormatMegabytes(int64_t bytes) {
    return QStringLiteral(" %1 MB").arg(bytes >> 20);
}

QString FormatWholeSeconds(int64_t durationMs) {
    // Unsigned division, as the total is never negative in practice and a
    // corrupt one must not print a negative length.
    return QStringLiteral(" %1 s ").arg(static_cast<uint64_t>(durationMs) / 1000u);
}

QString FileIdText(int group, int indexInGroup) {
    return QStringLiteral("G%1-%2").arg(group).arg(indexInGroup);
}

QString GroupIdText(int group) {
    return QStringLiteral("G%1").arg(group);
}

} // namespace kolvex
