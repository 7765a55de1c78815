#include "card_fixture.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace kolvex::testing {

TempCard::TempCard() {
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

// Removed by bytes: Qt's own removal reads names that are not UTF-8 as
// U+FFFD and leaves them behind.
TempCard::~TempCard() {
    std::error_code error;
    std::filesystem::remove_all(m_dir.path().toStdString(), error);
    if (!error)
        m_dir.setAutoRemove(false);
}

// The relative part is kept as bytes, so that a card may hold names that
// are not UTF-8.
std::string TempCard::Path(const std::string& relative) const {
    return m_dir.path().toStdString() + '/' + relative;
}

void TempCard::AddFolder(const std::string& relative) {
    std::error_code ignored; // as mkdir -p: what cannot be made shows up later
    std::filesystem::create_directories(Path(relative), ignored);
}

static void MakeParent(const std::string& path) {
    std::error_code ignored; // a parent that cannot be made fails the write
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
}

void TempCard::AddRecording(const std::string& relative, const std::string& start,
                            uint32_t durationMs) {
    AddRecording(relative, RecordingAt(start, durationMs));
}

void TempCard::AddRecording(const std::string& relative,
                            const fixtures::CameraRecording& recording) {
    const std::string path = Path(relative);
    MakeParent(path);
    const bool avi = relative.size() >= 4 && relative.compare(relative.size() - 4, 4, ".AVI") == 0;
    const fixtures::FileImage image =
        avi ? fixtures::AviImage(recording) : fixtures::Mp4Image(recording);
    if (!image.Write(path))
        throw std::runtime_error("cannot write " + path);
}

void TempCard::AddFile(const std::string& relative, const std::string& content) {
    const std::string path = Path(relative);
    MakeParent(path);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file.write(content.data(), static_cast<std::streamsize>(content.size())) || !file.flush())
        throw std::runtime_error("cannot write " + path);
}

fixtures::CameraRecording RecordingAt(const std::string& start, uint32_t durationMs) {
    fixtures::CameraRecording recording;
    recording.durationMs = durationMs;
    recording.textDate = start;
    recording.writeGps = false;
    recording.writeGsensor = false;
    return recording;
}

} // namespace kolvex::testing
