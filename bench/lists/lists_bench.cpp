// The two lists with a large card: filling them as the library does after a
// scan (10,000 recordings in 2,000 groups) and moving the current row as
// playback goes from recording to recording, with and without the repaint
// that follows. Prints milliseconds; runs on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise.
//
//     lists_bench [rounds]
#include "lists/file_list_ctrl.h"
#include "lists/group_list_ctrl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace kolvex;

namespace {

constexpr int kGroups = 2000;
constexpr int kFilesPerGroup = 5;
constexpr int kRowChanges = 1000;

struct Window {
    QWidget frame;
    CKolvexGroupListCtrl* groups = new CKolvexGroupListCtrl(&frame);
    CKolvexFileListCtrl* files = new CKolvexFileListCtrl(&frame);

    Window() {
        frame.resize(1280, 800);
        groups->setGeometry(0, 0, 800, 200);
        files->setGeometry(0, 200, 800, 600);
        for (CRecordingListView* list :
             {static_cast<CRecordingListView*>(groups), static_cast<CRecordingListView*>(files)})
            list->SetReportStyle();
        groups->AttachLockImages();
        groups->InitColumns();
        files->AttachLockImages();
        files->InitColumns();
        frame.show();
        QApplication::processEvents();
    }

    void Fill() {
        groups->DeleteAllItems();
        files->DeleteAllItems();
        const int64_t start = 1433145600; // 2015-06-01
        for (int g = 0; g < kGroups; ++g)
            groups->AddGroup(g, QStringLiteral("1920x1080"), kFilesPerGroup * 60000,
                             kFilesPerGroup * 90000000LL, g % 4, start + g * 3600);
        for (int g = 0; g < kGroups; ++g) {
            for (int i = 0; i < kFilesPerGroup; ++i)
                files->AddFile(g, i, QStringLiteral("/media/card/DCIM/"),
                               QStringLiteral("FILE%1.MOV")
                                   .arg(g * kFilesPerGroup + i, 5, 10, QLatin1Char('0')),
                               60000, 90000000, i == 2 ? 1 : 0, start + g * 3600 + i * 60);
        }
    }

    // What the library does when recording `row` becomes current.
    void Select(int previous, int row) {
        groups->SetDropHighlight(previous / kFilesPerGroup, false);
        files->SetDropHighlight(previous, false);
        groups->SetDropHighlight(row / kFilesPerGroup, true);
        groups->EnsureVisible(row / kFilesPerGroup);
        files->SetDropHighlight(row, true);
        files->EnsureVisible(row);
    }
};

double Ms(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

struct Figures {
    std::vector<double> values;
    void Print(const char* what) {
        std::sort(values.begin(), values.end());
        const double median = values[values.size() / 2];
        const double p99 = values[std::min(values.size() - 1, values.size() * 99 / 100)];
        std::printf("%-52s median %8.3f ms   p99 %8.3f ms   max %8.3f ms\n", what, median, p99,
                    values.back());
    }
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    Window window;

    Figures fill, fillPainted;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        window.Fill();
        fill.values.push_back(Ms(timer));
        QApplication::processEvents(); // layout and the first paint
        fillPainted.values.push_back(Ms(timer));
    }
    std::printf("%d groups, %d recordings, %d rounds\n", kGroups, kGroups * kFilesPerGroup, rounds);
    fill.Print("fill both lists");
    fill.values.clear();
    fillPainted.Print("fill both lists, laid out and painted");

    // Playback moving through the card, and jumps as a double-click makes.
    Figures step, stepPainted, jump;
    const int rows = kGroups * kFilesPerGroup;
    int current = 0;
    window.Select(0, 0);
    for (int i = 0; i < kRowChanges; ++i) {
        QElapsedTimer timer;
        timer.start();
        window.Select(current, current + 1);
        ++current;
        step.values.push_back(Ms(timer));
        QApplication::processEvents();
        stepPainted.values.push_back(Ms(timer));
    }
    for (int i = 0; i < kRowChanges; ++i) {
        const int next = static_cast<int>((static_cast<long long>(i) * 7919) % rows);
        QElapsedTimer timer;
        timer.start();
        window.Select(current, next);
        current = next;
        QApplication::processEvents();
        jump.values.push_back(Ms(timer));
    }
    step.Print("row change to the next recording");
    stepPainted.Print("row change to the next recording, painted");
    jump.Print("row change to anywhere, painted");
    return 0;
}
