// Starts one kind of window the way the program starts and prints the wall
// clock (microseconds since 1970) when its first paint has been done, then
// quits. Kinds:
//   bare        a plain QWidget of the player's size
//   bare-map    the same with the map host (the web map) inside
//   kolvex      the player's main window as the program shows it
//   kolvex-nomap  the player's main window without the map host
#include "app/display_choice.h"
#include "app/kolvex_dlg.h"
#include "map/view/html_map_dlg.h"
#include "map/view/web_engine_setup.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Prints the time of the first paint of the watched window and quits.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // After this paint has reached the window.
            QTimer::singleShot(0, [] {
                const auto now = std::chrono::system_clock::now().time_since_epoch();
                std::printf(
                    "painted %lld\n",
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

} // namespace

int main(int argc, char** argv) {
    const char* kind = argc > 1 ? argv[1] : "bare";
    if (!kolvex::ApplyDisplayChoice())
        return 1;
    const bool kolvexKind = std::strncmp(kind, "kolvex", 6) == 0;
    const bool withMap = !std::strcmp(kind, "bare-map") || !std::strcmp(kind, "kolvex");
    if (withMap)
        kolvex::PrepareWebEngineProcess();
    QApplication application(argc, argv);
    FirstPaint watcher;
    std::unique_ptr<QWidget> window;
    if (kolvexKind) {
        auto dialog =
            std::make_unique<kolvex::CKolvexDlg>(kolvex::CKolvexDlg::Options{withMap, {}});
        dialog->OnInitDialog();
        window = std::move(dialog);
    } else {
        window = std::make_unique<QWidget>();
        window->resize(800, 560);
        if (withMap) {
            auto* map = new kolvex::CHtmlMapDlg(window.get());
            map->setGeometry(555, 48, 240, 240);
            map->LoadMapPage();
        }
    }
    window->installEventFilter(&watcher);
    window->show();
    return application.exec();
}
