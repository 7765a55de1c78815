#include "recording_list_model.h"

#include "settings/language_table.h"

namespace kolvex {

CRecordingListModel::CRecordingListModel(bool checkBoxes, QObject* parent)
    : QAbstractTableModel(parent), m_bCheckBoxes(checkBoxes) {}

int CRecordingListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RowCount();
}

int CRecordingListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_headerIds.size());
}

QVariant CRecordingListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= RowCount())
        return QVariant();
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole:
        return CellText(row, index.column());
    case Qt::DecorationRole:
        if (index.column() == 0)
            return LockIconFor(m_lockIcons, RowFlags(row));
        break;
    case Qt::CheckStateRole:
        if (m_bCheckBoxes && index.column() == 0)
            return HasMark(row, kChecked) ? Qt::Checked : Qt::Unchecked;
        break;
    case Qt::BackgroundRole:
        if (HasMark(row, kHighlighted))
            return m_highlightBackground;
        break;
    case Qt::ForegroundRole:
        if (HasMark(row, kHighlighted))
            return m_highlightText;
        break;
    default:
        break;
    }
    return QVariant();
}

bool CRecordingListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!m_bCheckBoxes || role != Qt::CheckStateRole || !index.isValid() || index.column() != 0)
        return false;
    SetChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags CRecordingListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (m_bCheckBoxes && index.column() == 0)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant CRecordingListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 ||
        section >= static_cast<int>(m_headerTexts.size()))
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_headerTexts[static_cast<size_t>(section)];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return QVariant();
}

void CRecordingListModel::InsertColumns(const std::vector<unsigned>& headerIds) {
    if (!m_headerIds.empty() || headerIds.empty())
        return;
    beginInsertColumns(QModelIndex(), 0, static_cast<int>(headerIds.size()) - 1);
    m_headerIds = headerIds;
    m_headerTexts.clear();
    for (unsigned id : m_headerIds)
        m_headerTexts.push_back(LoadLangString(id));
    endInsertColumns();
}

void CRecordingListModel::RelabelColumns() {
    if (m_headerIds.empty())
        return;
    for (size_t i = 0; i < m_headerIds.size(); ++i)
        m_headerTexts[i] = LoadLangString(m_headerIds[i]);
    emit headerDataChanged(Qt::Horizontal, 0, static_cast<int>(m_headerIds.size()) - 1);
}

void CRecordingListModel::SetLockIcons(const LockIcons& icons) {
    m_lockIcons = icons;
    if (RowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(RowCount() - 1, 0), {Qt::DecorationRole});
}

void CRecordingListModel::SetHighlightColours(const QBrush& background, const QBrush& text) {
    m_highlightBackground = background;
    m_highlightText = text;
}

bool CRecordingListModel::HasMark(int row, Mark mark) const {
    return row >= 0 && row < static_cast<int>(m_marks.size()) &&
           (m_marks[static_cast<size_t>(row)] & mark) != 0;
}

void CRecordingListModel::SetMark(int row, Mark mark, bool on) {
    uint8_t& marks = m_marks[static_cast<size_t>(row)];
    const uint8_t changed = on ? static_cast<uint8_t>(marks | mark)
                               : static_cast<uint8_t>(marks & ~static_cast<uint8_t>(mark));
    if (changed == marks)
        return;
    marks = changed;
    if (columnCount() > 0)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void CRecordingListModel::SetHighlight(int row, bool highlighted) {
    if (row == -1) {
        // Every row: one change notice for the whole list.
        bool any = false;
        for (uint8_t& marks : m_marks) {
            const bool was = (marks & kHighlighted) != 0;
            if (was != highlighted) {
                marks = highlighted ? static_cast<uint8_t>(marks | kHighlighted)
                                    : static_cast<uint8_t>(marks & ~kHighlighted);
                any = true;
            }
        }
        if (any && columnCount() > 0)
            emit dataChanged(index(0, 0), index(RowCount() - 1, columnCount() - 1));
        return;
    }
    if (row >= 0 && row < static_cast<int>(m_marks.size()))
        SetMark(row, kHighlighted, highlighted);
}

bool CRecordingListModel::IsHighlighted(int row) const {
    return HasMark(row, kHighlighted);
}

int CRecordingListModel::HighlightedRow() const {
    for (size_t row = 0; row < m_marks.size(); ++row)
        if (m_marks[row] & kHighlighted)
            return static_cast<int>(row);
    return -1;
}

bool CRecordingListModel::IsChecked(int row) const {
    return m_bCheckBoxes && HasMark(row, kChecked);
}

void CRecordingListModel::SetChecked(int row, bool checked) {
    if (m_bCheckBoxes && row >= 0 && row < static_cast<int>(m_marks.size()))
        SetMark(row, kChecked, checked);
}

void CRecordingListModel::RemoveAllRows() {
    beginResetModel();
    ClearRows();
    m_marks.clear();
    endResetModel();
}

} // namespace kolvex
