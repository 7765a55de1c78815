// What both lists share as a Qt model: localised columns inserted once,
// rows appended by the library, the lock icon of the first column, the
// highlight of the current row and, where the list has them, check boxes.
// Cell texts are built when a cell is drawn, from the raw values each
// list keeps, so that filling thousands of rows stays cheap.
#pragma once

#include "lock_icons.h"

#include <QAbstractTableModel>
#include <QBrush>

#include <cstdint>
#include <vector>

namespace kolvex {

class CRecordingListModel : public QAbstractTableModel {
public:
    explicit CRecordingListModel(bool checkBoxes, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Inserts the columns with the texts of these string ids (once).
    void InsertColumns(const std::vector<unsigned>& headerIds);
    // The headers in the current language; rows keep their texts.
    void RelabelColumns();

    void SetLockIcons(const LockIcons& icons);
    // How a highlighted row looks.
    void SetHighlightColours(const QBrush& background, const QBrush& text);

    // Row `row`, or every row for -1, highlighted or not; other rows are
    // left alone.
    void SetHighlight(int row, bool highlighted);
    bool IsHighlighted(int row) const;
    // The first highlighted row; -1 when none is.
    int HighlightedRow() const;
    bool IsChecked(int row) const;
    void SetChecked(int row, bool checked);

    void RemoveAllRows();

protected:
    // The subclasses keep their rows' values and tell how to show them.
    virtual int RowCount() const = 0;
    virtual QString CellText(int row, int column) const = 0;
    virtual int RowFlags(int row) const = 0;
    virtual void ClearRows() = 0;

    // Appends one row at the end: `store` adds the subclass's values.
    template <class Store> bool AppendRow(Store&& store) {
        const int row = RowCount();
        beginInsertRows(QModelIndex(), row, row);
        store();
        m_marks.push_back(0);
        endInsertRows();
        return true;
    }

private:
    enum Mark : uint8_t { kHighlighted = 1, kChecked = 2 };
    bool HasMark(int row, Mark mark) const;
    void SetMark(int row, Mark mark, bool on);

    bool m_bCheckBoxes;
    std::vector<unsigned> m_headerIds;
    std::vector<QString> m_headerTexts;
    std::vector<uint8_t> m_marks; // one per row
    LockIcons m_lockIcons;
    QBrush m_highlightBackground;
    QBrush m_highlightText;
};

} // namespace kolvex
