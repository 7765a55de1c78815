#include "recording_list_view.h"

#include "app/window_messages.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>

namespace kolvex {

CRecordingListView::CRecordingListView(CRecordingListModel* model, int openMessage, QWidget* parent)
    : QTableView(parent), m_pModel(model), m_nOpenMessage(openMessage) {
    m_pModel->setParent(this);
    setModel(m_pModel);
    TakeHighlightColours();
}

void CRecordingListView::SetReportStyle() {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setSortingEnabled(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setIconSize(QSize(kLockIconSize, kLockIconSize));
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);

    QHeaderView* header = horizontalHeader();
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    header->setHighlightSections(false);
    header->setSortIndicatorShown(false);
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionResizeMode(QHeaderView::Interactive);

    // Rows of one fixed height: the view never measures them, which keeps
    // a list of thousands of rows fast.
    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(std::max(kLockIconSize + 2, fontMetrics().height() + 6));
}

bool CRecordingListView::AttachLockImages() {
    m_pModel->SetLockIcons(LoadLockIcons());
    return true;
}

void CRecordingListView::InsertColumns(const std::vector<unsigned>& headerIds, int width) {
    m_pModel->InsertColumns(headerIds);
    for (int column = 0; column < static_cast<int>(headerIds.size()); ++column)
        setColumnWidth(column, width);
}

void CRecordingListView::ScrollRowIntoView(int item) {
    if (item < 0 || item >= m_pModel->rowCount() || m_pModel->columnCount() == 0)
        return;
    // Rows added since the last paint have not reached the scroll bar yet.
    executeDelayedItemsLayout();
    // Only up or down: the user's horizontal scrolling stays.
    const int left = horizontalScrollBar()->value();
    scrollTo(m_pModel->index(item, 0), QAbstractItemView::EnsureVisible);
    horizontalScrollBar()->setValue(left);
}

void CRecordingListView::Highlight(int item, bool highlighted) {
    m_pModel->SetHighlight(item, highlighted);
    SelectHighlightedRow();
}

void CRecordingListView::SelectHighlightedRow() {
    QItemSelectionModel* selection = selectionModel();
    if (!selection)
        return;
    const int row = m_pModel->HighlightedRow();
    if (row < 0 || m_pModel->columnCount() == 0) {
        selection->clearSelection();
        return;
    }
    const QModelIndex index = m_pModel->index(row, 0);
    if (selection->currentIndex().row() == row && selection->isRowSelected(row))
        return;
    // No scrolling here: the owner asks for that where it wants it.
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    selection->setCurrentIndex(index,
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    setAutoScroll(scrolls);
}

void CRecordingListView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex hit = indexAt(event->position().toPoint());
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    if (QWidget* owner = parentWidget()) {
        CWindowMessageEvent message(m_nOpenMessage, hit.isValid() ? hit.row() : -1, 0);
        QCoreApplication::sendEvent(owner, &message);
    }
    // The click chose the row it hit; when the window did not start it
    // (still opening another one, or no row), the playing row is the
    // chosen one again.
    SelectHighlightedRow();
}

void CRecordingListView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        TakeHighlightColours();
    QTableView::changeEvent(event);
}

void CRecordingListView::TakeHighlightColours() {
    m_pModel->SetHighlightColours(palette().brush(QPalette::Active, QPalette::Highlight),
                                  palette().brush(QPalette::Active, QPalette::HighlightedText));
}

bool CRecordingListView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip && m_rowTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        const QString tip = index.isValid() ? m_rowTip(index.row()) : QString();
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, viewport());
        return true;
    }
    return QTableView::viewportEvent(event);
}

} // namespace kolvex
