// The files of every loaded recording, as the file operations see them. A
// copy never replaces one of them, and a rear file that is itself a listed
// recording, or that two listed front files share, belongs to no one front
// file and is left alone.
#pragma once

#include "file_identity.h"
#include "recording_records.h"

#include <QString>
#include <cstdint>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace kolvex {

class ListedFiles {
public:
    explicit ListedFiles(const std::vector<RecordingEntry>& entries);
    bool Contains(const FileIdentity& id) const;
    bool IsOwnRear(const FileIdentity& rear) const;

private:
    using ObjectKey = std::pair<uint64_t, uint64_t>;
    static ObjectKey KeyOf(const FileIdentity& id) { return {id.device, id.inode}; }
    std::set<ObjectKey> m_fronts;
    std::map<ObjectKey, int> m_rearUses;
};

struct ListedFile {
    QString path;          // "" when the lookup finds nothing now
    FileIdentity identity; // as loaded; not `exists` when there is no such file
    bool Listed() const { return identity.exists; }
    int Count() const { return Listed() ? 1 : 0; }
};

// The rear file that goes with the front file at `frontPath`, or none.
ListedFile RearFileOf(const QString& frontPath, const RecordingEntry& entry,
                      const ListedFiles& listed);

} // namespace kolvex
