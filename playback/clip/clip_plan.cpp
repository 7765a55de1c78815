#include "clip_plan.h"

#include "library/native_path.h"
#include "library/rear_file.h"
#include "library/recording_manager.h"

#include <algorithm>

namespace kolvex {

std::vector<ClipPart> PlanClip(const CRecordingManager& manager, int entry, int64_t fromMs,
                               int64_t toMs, QString& error) {
    std::vector<ClipPart> parts;
    const auto& entries = manager.Entries();
    if (entry < 0 || entry >= static_cast<int>(entries.size())) {
        error = QStringLiteral("no such recording");
        return parts;
    }
    int groupEnd = static_cast<int>(entries.size());
    for (const RecordingGroup& g : manager.Groups()) {
        if (entry >= g.firstEntry && entry < g.firstEntry + g.count) {
            groupEnd = g.firstEntry + g.count;
            break;
        }
    }
    if (fromMs < 0 || toMs <= fromMs) {
        error = QStringLiteral("the range is empty or begins before the recording");
        return parts;
    }
    // Offsets along the group as the clip plays it.
    int64_t begin = 0;
    for (int e = entry; e < groupEnd && begin < toMs; ++e) {
        const RecordingEntry& r = entries[static_cast<size_t>(e)];
        const int64_t length = r.meta.durationMs;
        const int64_t from = std::max<int64_t>(fromMs - begin, 0);
        const int64_t to = std::min<int64_t>(toMs - begin, length);
        if (from < to) {
            ClipPart part;
            const QString path = manager.GetPath(e);
            part.frontPath = NativePath(path).toStdString();
            const QString rear = FindRearFile(path);
            if (!rear.isEmpty())
                part.rearPath = NativePath(rear).toStdString();
            part.meta = r.meta;
            part.fromMs = from;
            part.toMs = to;
            parts.push_back(std::move(part));
        }
        begin += length;
    }
    if (parts.empty())
        error = QStringLiteral("the range lies after the end of the recordings");
    return parts;
}

} // namespace kolvex
