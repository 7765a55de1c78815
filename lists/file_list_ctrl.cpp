#include "file_list_ctrl.h"

#include "list_cell_format.h"

#include "app/window_messages.h"
#include "settings/string_ids.h"

namespace kolvex {

class CKolvexFileListCtrl::Model : public CRecordingListModel {
public:
    struct Row {
        int group;
        int indexInGroup;
        QString folder;
        QString name;
        uint32_t durationMs;
        int64_t fileLength;
        int flags;
        int64_t startTime;
    };

    Model() : CRecordingListModel(false) {}

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
            return FileIdText(r.group, r.indexInGroup);
        case 1:
            return r.name;
        case 2:
            return FormatLocalTime(r.startTime, "%H:%M:%S");
        case 3:
            return FormatLocalTime(r.startTime + r.durationMs / 1000u, "%H:%M:%S");
        case 4:
            return FormatMegabytes(r.fileLength);
        case 5:
            return r.folder;
        default:
            return QString();
        }
    }

private:
    std::vector<Row> m_rows;
};

CKolvexFileListCtrl::CKolvexFileListCtrl(QWidget* parent)
    : CRecordingListView(new Model, WM_OPEN_FILE, parent),
      m_pFiles(static_cast<Model*>(ListModel())) {
    setObjectName(QStringLiteral("FileList"));
}

bool CKolvexFileListCtrl::InitColumns() {
    InsertColumns({StringId::ColumnId, StringId::ColumnFileName, StringId::ColumnStartTime,
                   StringId::ColumnEndTime, StringId::ColumnFileSize, StringId::ColumnFolder},
                  width() * 3 / 10);
    return true;
}

bool CKolvexFileListCtrl::AddFile(int group, int indexInGroup, const QString& folder,
                                  const QString& name, uint32_t durationMs, int64_t fileLength,
                                  int flags, int64_t startTime) {
    return m_pFiles->Append(
        {group, indexInGroup, folder, name, durationMs, fileLength, flags & 0xff, startTime});
}

} // namespace kolvex
