// kolvex-instrument-sheet OUTPUT.png — paints every instrument and control
// in its states onto one labelled sheet: the G-sensor graph with data,
// stopped and empty, the compass at eight headings and grey, the speed
// read-out in both units, the status board, the sliders and every face of
// every button picture.
#include "controls/gdip_button.h"
#include "controls/gsensor_ctrl.h"
#include "controls/my_slider_control.h"
#include "controls/png_compass_static.h"
#include "controls/speed_label_static.h"
#include "controls/status_board_static.h"
#include "controls/video_slider.h"

#include <QApplication>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <vector>

using namespace kolvex;

namespace {

constexpr QColor kSurface(5, 5, 5);

// The window's dark surface with a caption over each control.
class Sheet : public QWidget {
public:
    void Caption(int x, int y, const QString& text) { m_captions.push_back({QPoint(x, y), text}); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), kSurface);
        painter.setPen(QColor(200, 200, 200));
        for (const auto& [at, text] : m_captions)
            painter.drawText(at, text);
    }

private:
    std::vector<std::pair<QPoint, QString>> m_captions;
};

// Three axes of a drive: a slow X swing, Y bumps, Z around one G, with
// a jolt past the scale at 7 s.
std::vector<int8_t> DriveSamples(int count) {
    std::vector<int8_t> samples;
    for (int n = 0; n < count; ++n) {
        const double t = n / 10.0;
        const auto x = static_cast<int8_t>(std::lround(40 * std::sin(t / 3)));
        const auto y = static_cast<int8_t>(std::lround(15 * std::sin(t * 2.1)));
        const auto z = static_cast<int8_t>(n >= 70 && n < 74 ? 127 : 60 + (n % 7) - 3);
        samples.insert(samples.end(), {x, y, z});
    }
    return samples;
}

CGSensorCtrl* Graph(Sheet& sheet, int y, const QString& caption) {
    sheet.Caption(10, y - 4, caption);
    auto* graph = new CGSensorCtrl(&sheet);
    graph->setGeometry(10, y, 600, 100);
    return graph;
}

void LoadDrive(CGSensorCtrl& graph) {
    const std::vector<int8_t> samples = DriveSamples(600);
    graph.ClearSamples();
    graph.SetScale(2.0, 2.0);
    graph.AppendSamples(static_cast<int>(samples.size() / 3), samples.data());
    graph.SetSamplesPerMs(0.01);
    graph.SetPixelsPerMs(0.01);
    graph.SetTimeScaleMode(CGSensorCtrl::kPixelScale);
    graph.UpdateTimeScale();
    graph.SetCurrentTime(30000);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: kolvex-instrument-sheet OUTPUT.png\n");
        return 2;
    }
    Sheet sheet;
    sheet.resize(1080, 860);

    LoadDrive(*Graph(sheet, 20, "G-sensor graph, playing at 30 s (cursor in the middle)"));
    CGSensorCtrl* stopped = Graph(sheet, 140, "stopped");
    LoadDrive(*stopped);
    stopped->SetStopped(true);
    CGSensorCtrl* hidden = Graph(sheet, 260, "X switched off by its legend entry");
    LoadDrive(*hidden);
    hidden->m_bShowAxis[0] = 0;
    Graph(sheet, 380, "empty");

    sheet.Caption(630, 16, "compass: heading 0, 45, 90 ... 315, no fix");
    for (int i = 0; i <= 8; ++i) {
        auto* compass = new CPngCompassStatic(&sheet);
        compass->setGeometry(630 + (i % 5) * 56, 24 + (i / 5) * 56, 48, 48);
        for (int id = 167; id <= 174; ++id)
            compass->AddImage(id);
        if (i < 8)
            compass->SetHeading(i * 45);
        else
            compass->SetImage(0);
    }
    sheet.Caption(630, 156, "speed: 88 Km/h, the same in MPH, no fix");
    for (int i = 0; i < 3; ++i) {
        auto* speed = new CSpeedLabelStatic(&sheet);
        speed->setGeometry(630 + i * 110, 164, 100, 32);
        speed->SetSpeed(i < 2, 88);
        if (i == 1)
            speed->ToggleUnit();
    }
    sheet.Caption(630, 220, "status board at 0, 40 and 100 %");
    for (int i = 0; i < 3; ++i) {
        auto* board = new CStatusBoardStatic(&sheet);
        board->setGeometry(630, 228 + i * 34, 300, 28);
        board->m_nBarBitmapId = 189;
        const int percent = i == 0 ? 0 : i == 1 ? 40 : 100;
        board->SetProgress(percent, QString("%1 %").arg(percent));
    }
    sheet.Caption(630, 350, "position slider at 0, 400 and 1000; volume at 100 and 30");
    for (int i = 0; i < 3; ++i) {
        auto* slider = new CVideoSlider(&sheet);
        slider->setRange(0, 1000);
        slider->setGeometry(630, 358 + i * 26, 300, 20);
        slider->setValue(i == 0 ? 0 : i == 1 ? 400 : 1000);
    }
    for (int i = 0; i < 2; ++i) {
        auto* volume = new CMySliderControl(&sheet);
        volume->setRange(0, 100);
        volume->setGeometry(950 + 0 * i, 358 + i * 26, 80, 20);
        volume->setValue(i == 0 ? 100 : 30);
    }

    // Every button picture in its faces: normal, hover, pressed, grey.
    const struct {
        int id;
        QSize size;
    } pictures[] = {
        {129, {64, 64}}, {132, {64, 64}}, {133, {64, 64}},  {136, {64, 64}}, {137, {64, 64}},
        {138, {48, 36}}, {139, {48, 36}}, {140, {48, 36}},  {141, {48, 36}}, {142, {48, 36}},
        {143, {48, 48}}, {176, {48, 48}}, {145, {48, 48}},  {146, {48, 48}}, {147, {48, 48}},
        {148, {48, 48}}, {151, {32, 32}}, {152, {32, 32}},  {153, {32, 32}}, {154, {32, 32}},
        {155, {24, 44}}, {156, {24, 44}}, {1045, {16, 16}}, {187, {16, 16}}, {188, {16, 16}}};
    sheet.Caption(10, 508, "buttons: each picture normal, hover, pressed, grey");
    int x = 10, y = 516;
    std::vector<CGdipButton*> buttons;
    for (const auto& picture : pictures) {
        const int cell = picture.size.width() + 4;
        if (x + 4 * cell > sheet.width() - 10) {
            x = 10;
            y += 72;
        }
        for (int face = 0; face < 4; ++face) {
            auto* button = new CGdipButton(&sheet);
            button->setGeometry(x + face * cell, y, picture.size.width(), picture.size.height());
            button->SetStandardImage(picture.id);
            button->m_bHover = face == 1;
            button->setDown(face == 2);
            button->m_bDisabled = face == 3;
            buttons.push_back(button);
        }
        x += 4 * (picture.size.width() + 4) + 16;
    }

    const QImage image = sheet.grab().toImage();
    if (!image.save(args[1], "PNG")) {
        std::fprintf(stderr, "kolvex-instrument-sheet: cannot write %s\n", qPrintable(args[1]));
        return 1;
    }
    return 0;
}
