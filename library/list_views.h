// What the recording library needs of the two list controls of the main
// window. The widgets implement these; the library never sees a widget.
#pragma once

#include <QString>
#include <cstdint>

namespace kolvex {

// Operations both lists share: rows are addressed by index, -1 meaning every
// row where the control allows it.
class IRecordingListView {
public:
    virtual ~IRecordingListView() = default;
    virtual void DeleteAllItems() = 0;
    // Shows or clears the drop-highlight that marks the current row.
    virtual void SetDropHighlight(int item, bool highlighted) = 0;
    // Scrolls the row fully into view.
    virtual void EnsureVisible(int item) = 0;
};

class IGroupListView : public IRecordingListView {
public:
    virtual bool AddGroup(int group, const QString& resolutionName, int64_t totalDurationMs,
                          int64_t totalBytes, int flags, int64_t startTime) = 0;
    // Whether the check box of row `item` shows a tick.
    virtual bool IsChecked(int item) const = 0;
};

class IFileListView : public IRecordingListView {
public:
    virtual bool AddFile(int group, int indexInGroup, const QString& folder, const QString& name,
                         uint32_t durationMs, int64_t fileLength, int flags, int64_t startTime) = 0;
};

} // namespace kolvex
