// The two lists of recordings before their own controls exist: they take
// their places and answer the library, showing nothing yet.
#pragma once

#include "library/list_views.h"

#include <QTreeWidget>

namespace kolvex {

class CKolvexGroupListCtrl : public QTreeWidget, public IGroupListView {
public:
    explicit CKolvexGroupListCtrl(QWidget* parent = nullptr) : QTreeWidget(parent) {}
    void DeleteAllItems() override { clear(); }
    void SetDropHighlight(int, bool) override {}
    void EnsureVisible(int) override {}
    bool AddGroup(int, const QString&, int64_t, int64_t, int, int64_t) override { return true; }
    bool IsChecked(int) const override { return false; }
};

class CKolvexFileListCtrl : public QTreeWidget, public IFileListView {
public:
    explicit CKolvexFileListCtrl(QWidget* parent = nullptr) : QTreeWidget(parent) {}
    void DeleteAllItems() override { clear(); }
    void SetDropHighlight(int, bool) override {}
    void EnsureVisible(int) override {}
    bool AddFile(int, int, const QString&, const QString&, uint32_t, int64_t, int,
                 int64_t) override {
        return true;
    }
};

} // namespace kolvex
