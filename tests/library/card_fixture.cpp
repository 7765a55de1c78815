#include "card_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace kolvex::testing {

TempCard::TempCard() {
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

std::string TempCard::Path(const std::string& relative) const {
    return (Root() + u'/' + QString::fromStdString(relative)).toStdString();
}

void TempCard::AddFolder(const std::string& relative) {
    QDir().mkpath(QString::fromStdString(Path(relative)));
}

static void MakeParent(const std::string& path) {
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).path());
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
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(content.data(), static_cast<qint64>(content.size())) !=
            static_cast<qint64>(content.size()))
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
