// Fakes of the widgets the recording library drives. Every call is written
// to one shared log as text, so tests can compare what was called, with
// which arguments and in which order.
#pragma once

#include "library/instrument_views.h"
#include "library/list_views.h"
#include "library/main_window_link.h"

#include <QString>
#include <set>
#include <string>
#include <vector>

namespace kolvex::testing {

using CallLog = std::vector<std::string>;

std::string Text(const QString& s);

class FakeGroupList : public IGroupListView {
public:
    explicit FakeGroupList(CallLog& log) : m_log(log) {}
    void DeleteAllItems() override;
    void SetDropHighlight(int item, bool on) override;
    void EnsureVisible(int item) override;
    bool AddGroup(int group, const QString& resolution, int64_t totalDurationMs, int64_t totalBytes,
                  int flags, int64_t startTime) override;
    bool IsChecked(int item) const override { return ticked.count(item) != 0; }

    std::set<int> ticked;

private:
    CallLog& m_log;
};

class FakeFileList : public IFileListView {
public:
    explicit FakeFileList(CallLog& log) : m_log(log) {}
    void DeleteAllItems() override;
    void SetDropHighlight(int item, bool on) override;
    void EnsureVisible(int item) override;
    bool AddFile(int group, int indexInGroup, const QString& folder, const QString& name,
                 uint32_t durationMs, int64_t fileLength, int flags, int64_t startTime) override;

private:
    CallLog& m_log;
};

class FakeGSensorGraph : public IGSensorGraphView {
public:
    explicit FakeGSensorGraph(CallLog& log) : m_log(log) {}
    void ClearSamples() override;
    void SetScale(double rawScale, double maxG) override;
    void AppendSamples(int count, const int8_t* samples) override;
    void UpdateTimeScale() override;
    void SetCurrentTime(int32_t ms) override;
    void SetSamplesPerMs(double v) override;
    void SetPixelsPerMs(double v) override;
    void SetTimeScaleMode(int mode) override;
    void SetStopped(bool stopped) override;
    void Invalidate(bool erase) override;

    std::vector<int8_t> samples; // what AppendSamples delivered

private:
    CallLog& m_log;
};

class FakeMap : public IMapView {
public:
    explicit FakeMap(CallLog& log) : m_log(log) {}
    bool RunScript(const QString& statement) override;
    bool MoveMarker(double latitude, double longitude) override;

private:
    CallLog& m_log;
};

// The main window with its compass, speed read-out, status board and the
// answer to the overwrite question.
class FakeMainWindow : public IMainWindowLink, ICompassView, ISpeedView, IStatusBoardView {
public:
    explicit FakeMainWindow(CallLog& log) : m_log(log) {}
    ICompassView* Compass() override { return this; }
    ISpeedView* SpeedReadout() override { return this; }
    IStatusBoardView* StatusBoard() override { return this; }
    bool ConfirmOverwrite(const QString& targetPath) override;

    bool overwriteAnswer = true;

private:
    void SetHeading(int degrees) override;
    bool SetImage(unsigned index) override;
    void SetSpeed(bool valid, uint16_t kmh) override;
    void SetVisible(bool visible) override;
    void SetProgress(int percent, const QString& text) override;
    void RepaintNow() override;

    CallLog& m_log;
};

class FakeScanCounter : public IScanCounterView {
public:
    void ShowScanCount(int filesVisited) override { counts.push_back(filesVisited); }
    std::vector<int> counts;
};

// The calls of the log that start with `prefix`, e.g. "map." or "group.AddGroup".
CallLog CallsStartingWith(const CallLog& log, const std::string& prefix);

} // namespace kolvex::testing
