#include "recording_fakes.h"

#include <cstdio>

namespace kolvex::testing {

namespace {

std::string Format(const char* format, auto... args) {
    char text[512];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

} // namespace

std::string Text(const QString& s) {
    return s.toStdString();
}

void FakeGroupList::DeleteAllItems() {
    m_log.push_back("group.DeleteAllItems");
}
void FakeGroupList::SetDropHighlight(int item, bool on) {
    m_log.push_back(Format("group.SetDropHighlight(%d,%d)", item, on));
}
void FakeGroupList::EnsureVisible(int item) {
    m_log.push_back(Format("group.EnsureVisible(%d)", item));
}
bool FakeGroupList::AddGroup(int group, const QString& resolution, int64_t totalDurationMs,
                             int64_t totalBytes, int flags, int64_t startTime) {
    m_log.push_back(Format("group.AddGroup(%d,%s,%lld,%lld,%d,%lld)", group,
                           Text(resolution).c_str(), static_cast<long long>(totalDurationMs),
                           static_cast<long long>(totalBytes), flags,
                           static_cast<long long>(startTime)));
    return true;
}

void FakeFileList::DeleteAllItems() {
    m_log.push_back("file.DeleteAllItems");
}
void FakeFileList::SetDropHighlight(int item, bool on) {
    m_log.push_back(Format("file.SetDropHighlight(%d,%d)", item, on));
}
void FakeFileList::EnsureVisible(int item) {
    m_log.push_back(Format("file.EnsureVisible(%d)", item));
}
bool FakeFileList::AddFile(int group, int indexInGroup, const QString& folder, const QString& name,
                           uint32_t durationMs, int64_t fileLength, int flags, int64_t startTime) {
    m_log.push_back(Format("file.AddFile(%d,%d,%s,%s,%u,%lld,%d,%lld)", group, indexInGroup,
                           Text(folder).c_str(), Text(name).c_str(), durationMs,
                           static_cast<long long>(fileLength), flags,
                           static_cast<long long>(startTime)));
    return true;
}

void FakeGSensorGraph::ClearSamples() {
    samples.clear();
    m_log.push_back("graph.ClearSamples");
}
void FakeGSensorGraph::SetScale(double rawScale, double maxG) {
    m_log.push_back(Format("graph.SetScale(%g,%g)", rawScale, maxG));
}
void FakeGSensorGraph::AppendSamples(int count, const int8_t* data) {
    samples.insert(samples.end(), data, data + 3 * count);
    m_log.push_back(Format("graph.AppendSamples(%d)", count));
}
void FakeGSensorGraph::UpdateTimeScale() {
    m_log.push_back("graph.UpdateTimeScale");
}
void FakeGSensorGraph::SetCurrentTime(int32_t ms) {
    m_log.push_back(Format("graph.SetCurrentTime(%d)", ms));
}
void FakeGSensorGraph::SetSamplesPerMs(double v) {
    m_log.push_back(Format("graph.SamplesPerMs=%g", v));
}
void FakeGSensorGraph::SetPixelsPerMs(double v) {
    m_log.push_back(Format("graph.PixelsPerMs=%g", v));
}
void FakeGSensorGraph::SetTimeScaleMode(int mode) {
    m_log.push_back(Format("graph.TimeScaleMode=%d", mode));
}
void FakeGSensorGraph::SetStopped(bool stopped) {
    m_log.push_back(Format("graph.Stopped=%d", stopped));
}
void FakeGSensorGraph::Invalidate(bool erase) {
    m_log.push_back(Format("graph.Invalidate(%d)", erase));
}

bool FakeMap::RunScript(const QString& statement) {
    m_log.push_back("map." + Text(statement));
    return true;
}
bool FakeMap::MoveMarker(double latitude, double longitude) {
    m_log.push_back(Format("map.MoveMarker(%.5f,%.5f)", latitude, longitude));
    return true;
}

bool FakeMainWindow::ConfirmOverwrite(const QString& targetPath) {
    m_log.push_back("window.ConfirmOverwrite(" + Text(targetPath) + ")");
    return overwriteAnswer;
}
void FakeMainWindow::SetHeading(int degrees) {
    m_log.push_back(Format("compass.SetHeading(%d)", degrees));
}
bool FakeMainWindow::SetImage(unsigned index) {
    m_log.push_back(Format("compass.SetImage(%u)", index));
    return true;
}
void FakeMainWindow::SetSpeed(bool valid, uint16_t kmh) {
    m_log.push_back(Format("speed.SetSpeed(%d,%u)", valid, kmh));
}
void FakeMainWindow::SetVisible(bool visible) {
    m_log.push_back(Format("board.SetVisible(%d)", visible));
}
void FakeMainWindow::SetProgress(int percent, const QString& text) {
    m_log.push_back(Format("board.SetProgress(%d,%s)", percent, Text(text).c_str()));
}
void FakeMainWindow::RepaintNow() {
    m_log.push_back("board.RepaintNow");
}

CallLog CallsStartingWith(const CallLog& log, const std::string& prefix) {
    CallLog out;
    for (const std::string& call : log) {
        if (call.rfind(prefix, 0) == 0)
            out.push_back(call);
    }
    return out;
}

} // namespace kolvex::testing
