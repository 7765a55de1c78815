// kolvex: the player's window.
#include "command_line.h"
#include "display_choice.h"
#include "kolvex_app.h"

#include "map/view/web_engine_setup.h"
#include "playback/vlc_log.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    // --help needs no display: it is answered before anything starts.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const kolvex::CommandLine line = kolvex::ParseCommandLine(arguments);
    if (line.help) {
        std::fputs(kolvex::CommandLineHelp().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (!line.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", line.error.toLocal8Bit().constData());
        return 64;
    }
    if (line.verbose)
        CVlcLogFilter::Process().SetVerbose(true);
    if (!kolvex::ApplyDisplayChoice())
        return 1;
    kolvex::PrepareWebEngineProcess();
    QApplication application(argc, argv);
    kolvex::CKolvexApp app;
    return app.InitInstance(line.path);
}
