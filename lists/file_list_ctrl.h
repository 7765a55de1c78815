// CKolvexFileListCtrl: the list of recordings, one row per file, in the
// order the library adds them. A double-click sends WM_OPEN_FILE with the
// row (-1 off the rows) to the parent window.
#pragma once

#include "recording_list_view.h"

#include "library/list_views.h"

namespace kolvex {

class CKolvexFileListCtrl : public CRecordingListView, public IFileListView {
public:
    explicit CKolvexFileListCtrl(QWidget* parent = nullptr);

    // Six columns, each three tenths of the control's width.
    bool InitColumns();

    // IFileListView.
    void DeleteAllItems() override { RemoveAll(); }
    void SetDropHighlight(int item, bool highlighted) override { Highlight(item, highlighted); }
    void EnsureVisible(int item) override { ScrollRowIntoView(item); }
    bool AddFile(int group, int indexInGroup, const QString& folder, const QString& name,
                 uint32_t durationMs, int64_t fileLength, int flags, int64_t startTime) override;

private:
    class Model;
    Model* m_pFiles;
};

} // namespace kolvex
