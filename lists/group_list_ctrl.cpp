#include "group_list_ctrl.h"

#include "list_cell_format.h"

#include "app/window_messages.h"
#include "settings/string_ids.h"

namespace kolvex {

class CKolvexGroupListCtrl::Model : public CRecordingListModel {
public:
    struct Row {
        int group;
        QString resolution;
        int64_t durationMs;
        int64_t bytes;
        int flags;
        int64_t startTime;
    };

    Model() : CRecordingListModel(true) {}

    bool Append(Row row) {
        return AppendRow([&] { m_rows.push_back(std::move(row)); });
    }

protected:
    int RowCount() const override { return static_cast<int>(m_rows.size()); }
    int RowFlags(int row) const override { return m_rows[static_cast<size_t>(row)].flags; }
    void ClearRows() override { m_rows.clear(); }

    QString CellText(int row, int column) const override {
        const Row& r = m_rows[static_cast<size_t>(row)];
        switch (column) {
        case 0:
            return GroupIdText(r.group);
        case 1:
            return r.resolution;
        case 2:
            return FormatLocalTime(r.startTime, "%Y-%m-%d %H:%M:%S");
        case 3:
            return FormatWholeSeconds(r.durationMs);
        case 4:
            return FormatMegabytes(r.bytes);
        default:
            return QString();
        }
    }

private:
    std::vector<Row> m_rows;
};

CKolvexGroupListCtrl::CKolvexGroupListCtrl(QWidget* parent)
    : CRecordingListView(new Model, WM_OPEN_GROUP, parent),
      m_pGroups(static_cast<Model*>(ListModel())) {
    setObjectName(QStringLiteral("GroupList"));
}

bool CKolvexGroupListCtrl::InitColumns() {
    InsertColumns({StringId::ColumnGroup, StringId::ColumnResolution, StringId::ColumnStartTime,
                   StringId::ColumnLength, StringId::ColumnFileSize},
                  width() / 5);
    return true;
}

bool CKolvexGroupListCtrl::AddGroup(int group, const QString& resolutionName,
                                    int64_t totalDurationMs, int64_t totalBytes, int flags,
                                    int64_t startTime) {
    return m_pGroups->Append(
        {group, resolutionName, totalDurationMs, totalBytes, flags & 0xff, startTime});
}

} // namespace kolvex
