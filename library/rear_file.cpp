#include "rear_file.h"

#include "file_system.h"

namespace kolvex {

namespace {

// A camera writes at most a doubled separator between folder and name; a
// longer run is not a folder name to turn into the rear one.
constexpr int kMaxSeparatorsSkipped = 4;

qsizetype ExtensionDot(const QString& path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    const qsizetype nameStart = path.lastIndexOf(u'/') + 1;
    return dot > nameStart ? dot : -1;
}

} // namespace

QString RearNameBeside(const QString& front) {
    const qsizetype dot = ExtensionDot(front);
    if (dot < 0)
        return QString();
    QString rear = front;
    rear[dot - 1] = u'R';
    return rear;
}

QString FindRearFile(const QString& frontPath) {
    const qsizetype slash = frontPath.lastIndexOf(u'/');
    QString candidate = RearNameBeside(frontPath);
    if (slash < 0 || candidate.isEmpty())
        return QString();
    if (PathExists(candidate))
        return candidate;
    // The sibling folder keeps the name change of the first rule.
    for (int k = 0; k < kMaxSeparatorsSkipped && slash - k >= 0; ++k) {
        if (candidate[slash - k] != u'/') {
            candidate[slash - k] = u'R';
            return PathExists(candidate) ? candidate : QString();
        }
    }
    return QString();
}

} // namespace kolvex
