// The report view both lists are: a table of whole rows with grid lines,
// no sorting, the lock icon in the first column, and a double-click that
// tells the parent window which row was hit.
#pragma once

#include "recording_list_model.h"

#include <QTableView>

#include <functional>

#include <vector>

namespace kolvex {

class CRecordingListView : public QTableView {
public:
    // `model` belongs to the view; `openMessage` is the window message a
    // double-click sends to the parent window.
    CRecordingListView(CRecordingListModel* model, int openMessage, QWidget* parent);

    // The report look: whole rows, grid lines, rows in the order added.
    void SetReportStyle();
    // The lock icons of the first column. Returns true.
    bool AttachLockImages();
    // The column headers in the current language.
    void RelabelColumns() { m_pModel->RelabelColumns(); }

    CRecordingListModel* ListModel() const { return m_pModel; }
    // The tip of a row, asked for when the mouse rests on it; none while
    // unset or when it gives an empty text.
    std::function<QString(int row)> m_rowTip;
    int ItemCount() const { return m_pModel->rowCount(); }

protected:
    // Inserts the columns, each `width` pixels wide.
    void InsertColumns(const std::vector<unsigned>& headerIds, int width);

    void RemoveAll() { m_pModel->RemoveAllRows(); }
    // Marks the row (-1: every row) as the current one or not; the view's
    // own current row and selection follow, so that the list never shows a
    // second row as chosen.
    void Highlight(int item, bool highlighted);
    // Scrolls vertically until the row is wholly visible.
    void ScrollRowIntoView(int item);

    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void TakeHighlightColours();
    // The view's current row and selection on the highlighted row, or on
    // none when no row is highlighted.
    void SelectHighlightedRow();

    CRecordingListModel* m_pModel;
    int m_nOpenMessage;
};

} // namespace kolvex
