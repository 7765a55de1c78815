// Puts the process in a German locale (decimal comma) for the C library and
// Qt. Debian images ship no compiled locales besides C, so the locale is
// compiled into a private folder with localedef and found through LOCPATH.
#pragma once

#include <QDir>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

#include <clocale>
#include <cstdio>
#include <cstring>

// Returns an empty string on success, else why the locale is unavailable.
inline QString UseGermanLocale(const QTemporaryDir& dir) {
    const QString localedef = QStandardPaths::findExecutable("localedef");
    if (localedef.isEmpty())
        return "localedef is not installed";
    const QString target = QDir(dir.path()).filePath("de_DE.UTF-8");
    if (QProcess::execute(localedef, {"-i", "de_DE", "-f", "UTF-8", target}) != 0)
        return "localedef could not compile de_DE";
    qputenv("LOCPATH", dir.path().toLocal8Bit());
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        return "de_DE.UTF-8 could not be set";
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    char probe[32];
    std::snprintf(probe, sizeof probe, "%f", 1.5);
    if (std::strcmp(probe, "1,500000") != 0)
        return QString("printf still writes %1").arg(probe);
    return {};
}

inline void UseCLocale() {
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(QLocale::c());
    qunsetenv("LOCPATH");
}
