#include "unreadable_recordings.h"

#include "folder_walk.h"
#include "recording_name.h"

namespace kolvex {

int CountRecordingNames(const QString& folder) {
    int count = 0;
    WalkFolder(folder,
               [&count](const QString&, const QString&, const QString& name, bool isDirectory) {
                   bool event = false;
                   if (!isDirectory && IsRecordingFileName(name, event))
                       ++count;
               });
    return count;
}

} // namespace kolvex
