// A small tmpfs mounted on a test's own folder: a full or a read-only file
// system, or one to unmount in the middle of an operation. Mounting needs
// the right to do so; without it Mounted() is false and Error() says why,
// for the test's skip message.
#pragma once

#include <QString>
#include <string>

namespace kolvex::testing {

class ScratchMount {
public:
    // `options` as for mount(8) -o, e.g. "size=16k"; `readOnly` mounts it so.
    ScratchMount(const QString& folder, const std::string& options, bool readOnly = false);
    ~ScratchMount();
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    bool Mounted() const { return m_mounted; }
    const std::string& Error() const { return m_error; }
    // Detaches at once, even while files on it are open.
    void Unmount();

private:
    std::string m_folder;
    bool m_mounted = false;
    std::string m_error;
};

} // namespace kolvex::testing
