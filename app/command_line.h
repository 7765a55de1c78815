// The program's command line: an optional card, folder or recording to
// open at once, and --help.
#pragma once

#include <QString>
#include <QStringList>

namespace kolvex {

struct CommandLine {
    bool help = false;
    bool verbose = false; // every libVLC message on stderr
    QString path;         // what to open; empty: nothing
    QString error;        // one line for the user, when the arguments are wrong
};

// `arguments` as QCoreApplication::arguments() gives them (program first).
CommandLine ParseCommandLine(const QStringList& arguments);
QString CommandLineHelp();

// How the open dialog's sources would open `path`: the root of a mounted
// file system as a disk, another folder as a folder, a file as a file
// (CMediaOpenDialog::Source values); -1 with a one-line reason in *error
// when there is nothing at `path`.
int SourceForPath(const QString& path, QString* error);

} // namespace kolvex
