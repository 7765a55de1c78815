// A file that replaces its target only once it is complete. The data goes
// to a hidden temporary file in the target's folder, which is flushed to
// the medium and renamed over the target by Commit: until then an existing
// file stays as it was, a failure (a full card, a pulled card) leaves it
// untouched, and a symbolic link at the target is replaced itself, never
// followed, so nothing outside the target's folder can be written.
#pragma once

#include <QString>

#include <cstddef>
#include <string>

namespace kolvex {

class CReplacingFile {
public:
    CReplacingFile() = default;
    ~CReplacingFile(); // an unfinished file is removed
    CReplacingFile(const CReplacingFile&) = delete;
    CReplacingFile& operator=(const CReplacingFile&) = delete;

    // Creates the temporary file beside `target`; false when it cannot be
    // created (Error() says why).
    bool Open(const QString& target);
    bool IsOpen() const { return m_fd >= 0; }
    // False once any write failed; later writes are ignored.
    bool Write(const char* data, size_t size);
    bool Write(const std::string& text) { return Write(text.data(), text.size()); }
    // Writes everything out and renames the file over the target; false
    // (and the target untouched) when anything failed on the way.
    bool Commit();
    // Drops the unfinished file.
    void Abandon();

    // The system's reason for the first failure, "" while none occurred.
    const std::string& Error() const { return m_error; }

private:
    bool Fail(const char* what, int error);

    int m_fd = -1;
    std::string m_temporary; // native path of the temporary file
    std::string m_target;    // native path of the target
    std::string m_error;
};

} // namespace kolvex
