// Construction, reset and the paths of the recordings.
#include "recording_manager.h"

namespace kolvex {

CRecordingManager::CRecordingManager() = default;

int CRecordingManager::Init(IGroupListView* groupList, IFileListView* fileList,
                            IGSensorGraphView* gsensor, IMapView* map, IMainWindowLink* mainWnd) {
    m_nCurFile = -1;
    m_nCurGroup = 0;
    m_gpsData.clear();
    m_nGpsDataSize = 0;
    m_gsensorData.clear();
    m_nGSensorDataSize = 0;
    m_entries.clear();
    m_groups.clear();
    m_rows.clear();
    m_pGroupList = groupList;
    m_pFileList = fileList;
    m_pGSensor = gsensor;
    m_pMap = map;
    m_pMainWnd = mainWnd;
    return 1;
}

int CRecordingManager::Reset() {
    m_entries.clear();
    m_groups.clear();
    m_rows.clear();
    m_nCurFile = -1;
    m_unreadableFolders.clear();
    if (m_pGroupList)
        m_pGroupList->DeleteAllItems();
    if (m_pFileList)
        m_pFileList->DeleteAllItems();
    if (m_pGSensor)
        m_pGSensor->ClearSamples();
    return 1;
}

QString CRecordingManager::GetPath(int entry) const {
    if (entry < 0 || entry >= static_cast<int>(m_entries.size()))
        return QString();
    const RecordingEntry& e = m_entries[static_cast<size_t>(entry)];
    // A file opened by its bare name lies in the working folder; joining
    // the empty folder with '/' would move it to the file-system root.
    if (e.root.isEmpty() && e.subdir.isEmpty())
        return e.name;
    // Doubled separators that the joining makes are harmless and kept, so
    // that the path matches the folder column of the file list.
    return e.root + u'/' + e.subdir + u'/' + e.name;
}

} // namespace kolvex
