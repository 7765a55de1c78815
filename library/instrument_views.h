// What the recording library drives while a recording is current: the
// G-sensor graph, the web map, the compass, the speed read-out, the status
// board of the file operations and the scan counter of the folder walk.
// The widgets implement these; tests record the calls.
#pragma once

#include <QString>
#include <cstdint>

namespace kolvex {

class IGSensorGraphView {
public:
    virtual ~IGSensorGraphView() = default;
    virtual void ClearSamples() = 0;
    virtual void SetScale(double rawScale, double maxG) = 0;
    // `samples` holds `count` records of three signed bytes (x, y, z).
    virtual void AppendSamples(int count, const int8_t* samples) = 0;
    virtual void UpdateTimeScale() = 0;
    virtual void SetCurrentTime(int32_t ms) = 0;
    virtual void SetSamplesPerMs(double samplesPerMs) = 0;
    virtual void SetPixelsPerMs(double pixelsPerMs) = 0;
    virtual void SetTimeScaleMode(int mode) = 0;
    virtual void SetStopped(bool stopped) = 0;
    virtual void Invalidate(bool erase) = 0;
};

class IMapView {
public:
    virtual ~IMapView() = default;
    // Runs one statement of the map page's script, e.g. "path_plot(48.1,11.5)".
    virtual bool RunScript(const QString& statement) = 0;
    // Coordinates as the camera stores them divided by 100 (degrees and
    // minutes); the map converts them itself.
    virtual bool MoveMarker(double latitude, double longitude) = 0;
};

class ICompassView {
public:
    virtual ~ICompassView() = default;
    virtual void SetHeading(int degrees) = 0;
    // Image 0 is the grey card shown without a fix.
    virtual bool SetImage(unsigned index) = 0;
};

class ISpeedView {
public:
    virtual ~ISpeedView() = default;
    virtual void SetSpeed(bool valid, uint16_t kmh) = 0;
};

// The progress board of the long file operations.
class IStatusBoardView {
public:
    virtual ~IStatusBoardView() = default;
    virtual void SetVisible(bool visible) = 0;
    virtual void SetProgress(int percent, const QString& text) = 0;
    // Paints now: the operations run on the user-interface thread without
    // returning to the event loop.
    virtual void RepaintNow() = 0;
};

// Shows how many files the folder walk has visited, repainted at once.
class IScanCounterView {
public:
    virtual ~IScanCounterView() = default;
    virtual void ShowScanCount(int filesVisited) = 0;
};

} // namespace kolvex
