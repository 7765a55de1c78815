#include "settings_location.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace kolvex {

namespace {

const QLatin1String kFileName("Kolvex.ini");

// Creates `folder` and the missing folders above it, each private to the
// user; the first failure's reason goes to *error.
bool MakePrivateFolder(const QString& folder, QString* error) {
    if (QFileInfo(folder).isDir())
        return true;
    const QString parent = QFileInfo(folder).absolutePath();
    if (parent != folder && !MakePrivateFolder(parent, error))
        return false;
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) == 0 || errno == EEXIST) {
        if (QFileInfo(folder).isDir())
            return true;
        *error = QStringLiteral("%1 is no folder").arg(folder);
        return false;
    }
    *error = QStringLiteral("cannot create %1: %2")
                 .arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}

} // namespace

SettingsLocation ChooseSettingsLocation(const QString& startingFolder, const QString& xdgConfigHome,
                                        const QString& home) {
    SettingsLocation location;
    // A folder that cannot be named (it was removed) gives a relative name,
    // which keeps the file out of the root folder.
    const QString local =
        startingFolder.isEmpty() ? QString(kFileName) : startingFolder + u'/' + kFileName;
    if (QFileInfo(local).isFile()) {
        location.path = local;
        location.rule = SettingsLocation::Rule::StartingFolder;
        return location;
    }
    QString config;
    if (xdgConfigHome.startsWith(u'/'))
        config = xdgConfigHome;
    else if (home.startsWith(u'/'))
        config = home + QStringLiteral("/.config");
    if (config.isEmpty()) {
        location.path = local;
        location.rule = SettingsLocation::Rule::NoHome;
        return location;
    }
    location.path = QDir::cleanPath(config + QStringLiteral("/kolvex/") + kFileName);
    location.rule = SettingsLocation::Rule::ConfigFolder;
    return location;
}

void PrepareSettingsFolder(SettingsLocation& location) {
    if (location.rule != SettingsLocation::Rule::ConfigFolder)
        return;
    QString error;
    if (!MakePrivateFolder(QFileInfo(location.path).absolutePath(), &error))
        location.problem = error;
}

const SettingsLocation& ProcessSettingsLocation() {
    static const SettingsLocation location = [] {
        SettingsLocation chosen =
            ChooseSettingsLocation(QDir::currentPath(), qEnvironmentVariable("XDG_CONFIG_HOME"),
                                   qEnvironmentVariable("HOME"));
        PrepareSettingsFolder(chosen);
        return chosen;
    }();
    return location;
}

QString DescribeSettingsLocation(const SettingsLocation& location) {
    QString why;
    switch (location.rule) {
    case SettingsLocation::Rule::StartingFolder:
        why = QStringLiteral("the starting folder holds one");
        break;
    case SettingsLocation::Rule::ConfigFolder:
        why = QStringLiteral("the user's configuration folder");
        break;
    case SettingsLocation::Rule::NoHome:
        why = QStringLiteral("no home folder is set");
        break;
    }
    QString line = QStringLiteral("settings: %1 (%2)").arg(location.path, why);
    if (!location.problem.isEmpty())
        line +=
            QStringLiteral("; they cannot be kept: %1, defaults are used").arg(location.problem);
    return line;
}

} // namespace kolvex
