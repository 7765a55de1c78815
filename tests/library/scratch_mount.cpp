#include "scratch_mount.h"

#include <cerrno>
#include <cstring>
#include <sys/mount.h>

namespace kolvex::testing {

ScratchMount::ScratchMount(const QString& folder, const std::string& options, bool readOnly)
    : m_folder(folder.toStdString()) {
    const unsigned long flags = MS_NOSUID | MS_NODEV | (readOnly ? MS_RDONLY : 0);
    if (::mount("tmpfs", m_folder.c_str(), "tmpfs", flags, options.c_str()) == 0)
        m_mounted = true;
    else
        m_error = "cannot mount a tmpfs on " + m_folder + ": " + std::strerror(errno);
}

ScratchMount::~ScratchMount() {
    Unmount();
}

void ScratchMount::Unmount() {
    if (m_mounted && ::umount2(m_folder.c_str(), MNT_DETACH) == 0)
        m_mounted = false;
}

} // namespace kolvex::testing
