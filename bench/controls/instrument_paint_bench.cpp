// Paint cost per playback tick, on the offscreen platform:
//   QT_QPA_PLATFORM=offscreen build/bench/controls/instrument_paint_bench
// BM_GraphRepaint: the G-sensor graph with 1,800 samples, 600 x 120 pixels,
// painted whole; BM_SpeedRepaint, BM_CompassRepaint, BM_SliderRepaint: one
// instrument after a change. BM_InstrumentRowTick: what one tick changes
// (graph cursor and position slider every tick, speed and compass with each
// new GPS sample) repainted by the event loop.
#include "controls/gsensor_ctrl.h"
#include "controls/png_compass_static.h"
#include "controls/speed_label_static.h"
#include "controls/video_slider.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

using namespace kolvex;

namespace {

void Load(CGSensorCtrl& graph) {
    std::vector<int8_t> samples;
    for (int n = 0; n < 1800; ++n)
        samples.insert(samples.end(),
                       {static_cast<int8_t>(std::lround(40 * std::sin(n / 30.0))),
                        static_cast<int8_t>(n % 50 - 25), static_cast<int8_t>(60 + n % 7)});
    graph.SetScale(2.0, 2.0);
    graph.AppendSamples(1800, samples.data());
    graph.SetSamplesPerMs(0.01);
    graph.SetPixelsPerMs(0.01);
    graph.SetTimeScaleMode(CGSensorCtrl::kPixelScale);
    graph.UpdateTimeScale();
}

void BM_GraphRepaint(benchmark::State& state) {
    CGSensorCtrl graph;
    graph.resize(600, 120);
    Load(graph);
    graph.SetCurrentTime(90000);
    QImage image(graph.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        graph.PaintTo(painter);
    }
}
BENCHMARK(BM_GraphRepaint)->Unit(benchmark::kMicrosecond);

// One instrument rendered into an image, after the change a tick makes.
template <typename Widget> void RenderEach(benchmark::State& state, Widget& widget, auto change) {
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    int tick = 0;
    for (auto _ : state) {
        change(widget, ++tick);
        widget.render(&image);
    }
}

void BM_SpeedRepaint(benchmark::State& state) {
    CSpeedLabelStatic speed;
    speed.resize(100, 32);
    RenderEach(state, speed, [](CSpeedLabelStatic& w, int tick) {
        w.SetSpeed(true, static_cast<uint16_t>(tick % 200));
    });
}
BENCHMARK(BM_SpeedRepaint)->Unit(benchmark::kMicrosecond);

void BM_CompassRepaint(benchmark::State& state) {
    CPngCompassStatic compass;
    compass.resize(32, 32);
    for (int id = 167; id <= 174; ++id)
        compass.AddImage(id);
    RenderEach(state, compass, [](CPngCompassStatic& w, int tick) { w.SetHeading(tick * 7); });
}
BENCHMARK(BM_CompassRepaint)->Unit(benchmark::kMicrosecond);

void BM_SliderRepaint(benchmark::State& state) {
    CVideoSlider slider;
    slider.setRange(0, 1000);
    slider.resize(600, 20);
    RenderEach(state, slider, [](CVideoSlider& w, int tick) { w.setValue(tick % 1000); });
}
BENCHMARK(BM_SliderRepaint)->Unit(benchmark::kMicrosecond);

void BM_InstrumentRowTick(benchmark::State& state) {
    QWidget row;
    row.resize(1000, 200);
    auto* graph = new CGSensorCtrl(&row);
    graph->setGeometry(0, 60, 600, 120);
    Load(*graph);
    auto* compass = new CPngCompassStatic(&row);
    compass->setGeometry(620, 0, 32, 32);
    for (int id = 167; id <= 174; ++id)
        compass->AddImage(id);
    auto* speed = new CSpeedLabelStatic(&row);
    speed->setGeometry(680, 0, 100, 32);
    auto* slider = new CVideoSlider(&row);
    slider->setRange(0, 1000);
    slider->setGeometry(0, 36, 600, 20);
    row.show();
    QApplication::processEvents();
    // A tick every 250 ms; the GPS sample, and with it the speed and the
    // heading, changes every fourth tick.
    int ms = 0;
    for (auto _ : state) {
        ms = (ms + 250) % 180000;
        graph->SetCurrentTime(ms);
        if (ms % 1000 == 0) {
            speed->SetSpeed(true, static_cast<uint16_t>(ms / 1000));
            compass->SetHeading(ms / 500);
        }
        slider->setValue(ms / 180);
        // What the tick invalidated, repainted as the event loop does.
        QApplication::processEvents();
    }
}
BENCHMARK(BM_InstrumentRowTick)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
