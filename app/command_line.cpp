#include "command_line.h"

#include "lists/media_open_dialog.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace kolvex {

CommandLine ParseCommandLine(const QStringList& arguments) {
    CommandLine line;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            line.help = true;
        } else if (argument == QLatin1String("-v") || argument == QLatin1String("--verbose")) {
            line.verbose = true;
        } else if (argument.startsWith(QLatin1Char('-')) && argument != QLatin1String("-")) {
            line.error =
                QStringLiteral("kolvex: unknown option %1 (see kolvex --help)").arg(argument);
        } else if (line.path.isEmpty()) {
            // File managers may hand over several: the first is opened.
            line.path = argument;
        }
    }
    return line;
}

QString CommandLineHelp() {
    return QStringLiteral(
        "Usage: kolvex [PATH]\n"
        "Plays the recordings of a dash camera.\n"
        "\n"
        "PATH, when given, is opened at once, as the Open button would:\n"
        "  the root of a mounted card   as a Disk: the first recording plays at once\n"
        "  any other folder             as a Folder: its whole tree is listed\n"
        "  a recording                  as a File\n"
        "A PATH that does not exist is reported and the window opens empty;\n"
        "of several PATHs the first is opened.\n"
        "\n"
        "  -v, --verbose  write every message of the video player (libVLC) to\n"
        "                 standard error, as KOLVEX_VLC_LOG=1 does; without it\n"
        "                 each kind of warning is written once\n"
        "  -h, --help     show this text\n");
}

int SourceForPath(const QString& path, QString* error) {
    const QFileInfo info(path);
    if (!info.exists()) {
        if (error)
            *error = QStringLiteral("kolvex: %1: no such file or folder").arg(path);
        return -1;
    }
    if (!info.isDir())
        return CMediaOpenDialog::kSourceFile;
    const QString canonical = info.canonicalFilePath();
    const QStorageInfo storage(canonical);
    if (storage.isValid() && QDir(storage.rootPath()).canonicalPath() == canonical)
        return CMediaOpenDialog::kSourceDisk;
    return CMediaOpenDialog::kSourceFolder;
}

} // namespace kolvex
