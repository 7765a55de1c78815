// Runs the built kolvex-cli as a user would, with the few twists the
// failure tests need: standard output sent to a file (/dev/full), an
// environment variable removed, a shell prefix (ulimit) or an unprivileged
// user.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <unistd.h>

namespace kolvex::testing {

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

struct CliOptions {
    QString workingFolder;
    QString stdoutFile;         // standard output goes there instead of being read
    QStringList unsetVariables; // removed from the environment
    QString shellPrefix;        // run as: sh -c "PREFIX; exec kolvex-cli ARGS"
    bool unprivileged = false;  // as user and group 65534 when the test runs as root
};

inline CliRun Cli(const QStringList& args, const CliOptions& options = {}) {
    QProcess process;
    if (!options.workingFolder.isEmpty())
        process.setWorkingDirectory(options.workingFolder);
    if (!options.stdoutFile.isEmpty())
        process.setStandardOutputFile(options.stdoutFile);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : options.unsetVariables)
        environment.remove(name);
    process.setProcessEnvironment(environment);

    QString program = QStringLiteral(KOLVEX_CLI_PATH);
    QStringList arguments = args;
    if (!options.shellPrefix.isEmpty()) {
        arguments =
            QStringList{QStringLiteral("-c"),
                        options.shellPrefix + QStringLiteral("; exec \"$0\" \"$@\""), program} +
            args;
        program = QStringLiteral("/bin/sh");
    }
    if (options.unprivileged && ::geteuid() == 0) {
        arguments = QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                QStringLiteral("--clear-groups"), program} +
                    arguments;
        program = QStringLiteral("setpriv");
    }
    process.start(program, arguments);
    CliRun run;
    if (!process.waitForFinished(120000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

inline CliRun Cli(const QStringList& args, const QString& workingFolder) {
    CliOptions options;
    options.workingFolder = workingFolder;
    return Cli(args, options);
}

} // namespace kolvex::testing
