// CKolvexGroupListCtrl: the list of groups of consecutive recordings, one
// row per group, each with a check box the user ticks for the file
// operations. A double-click sends WM_OPEN_GROUP with the row (-1 off the
// rows) to the parent window.
#pragma once

#include "recording_list_view.h"

#include "library/list_views.h"

namespace kolvex {

class CKolvexGroupListCtrl : public CRecordingListView, public IGroupListView {
public:
    explicit CKolvexGroupListCtrl(QWidget* parent = nullptr);

    // Five columns sharing the control's width.
    bool InitColumns();

    // IGroupListView.
    void DeleteAllItems() override { RemoveAll(); }
    void SetDropHighlight(int item, bool highlighted) override { Highlight(item, highlighted); }
    void EnsureVisible(int item) override { ScrollRowIntoView(item); }
    bool AddGroup(int group, const QString& resolutionName, int64_t totalDurationMs,
                  int64_t totalBytes, int flags, int64_t startTime) override;
    bool IsChecked(int item) const override { return ListModel()->IsChecked(item); }

private:
    class Model;
    Model* m_pGroups;
};

} // namespace kolvex
