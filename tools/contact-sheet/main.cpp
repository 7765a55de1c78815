// kolvex-contact-sheet OUTPUT.png — writes the skin's contact sheet.
#include "contact_sheet.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: kolvex-contact-sheet OUTPUT.png\n");
        return 2;
    }
    const QImage sheet = kolvex::skin::renderContactSheet();
    if (!sheet.save(args[1], "PNG")) {
        std::fprintf(stderr, "kolvex-contact-sheet: cannot write %s\n", qPrintable(args[1]));
        return 1;
    }
    return 0;
}
