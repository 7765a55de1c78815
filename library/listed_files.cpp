#include "listed_files.h"

#include "rear_file.h"

namespace kolvex {

ListedFiles::ListedFiles(const std::vector<RecordingEntry>& entries) {
    for (const RecordingEntry& e : entries) {
        if (e.file.exists)
            m_fronts.insert(KeyOf(e.file));
        if (e.rear.exists)
            ++m_rearUses[KeyOf(e.rear)];
    }
}

bool ListedFiles::Contains(const FileIdentity& id) const {
    return id.exists && (m_fronts.count(KeyOf(id)) != 0 || m_rearUses.count(KeyOf(id)) != 0);
}

bool ListedFiles::IsOwnRear(const FileIdentity& rear) const {
    if (!rear.exists || m_fronts.count(KeyOf(rear)) != 0)
        return false;
    const auto uses = m_rearUses.find(KeyOf(rear));
    return uses != m_rearUses.end() && uses->second == 1;
}

ListedFile RearFileOf(const QString& frontPath, const RecordingEntry& entry,
                      const ListedFiles& listed) {
    if (!listed.IsOwnRear(entry.rear))
        return ListedFile{};
    return ListedFile{FindRearFile(frontPath), entry.rear};
}

} // namespace kolvex
