#include "ini_file.h"

#include "ini_document.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <cstdio>
#include <mutex>

namespace {

// Said once per file and run: the settings in force are the defaults, and
// the file stays as it is.
void WarnTooLarge(const QString& path, qint64 size) {
    static std::mutex lock;
    static QSet<QString> warned;
    const std::lock_guard<std::mutex> guard(lock);
    if (warned.contains(path))
        return;
    warned.insert(path);
    std::fprintf(stderr,
                 "kolvex: the settings file %s is too large to be a settings file (%lld bytes, "
                 "at most %lld): it is ignored and left unchanged\n",
                 QFile::encodeName(path).constData(), static_cast<long long>(size),
                 static_cast<long long>(IniFile::kMaxBytes));
}

// nullopt when the file exists but cannot be used; an empty text when it
// does not exist.
std::optional<QByteArray> LoadText(const QString& path) {
    QFileInfo info(path);
    if (!info.exists())
        return QByteArray();
    if (!info.isFile())
        return std::nullopt;
    if (info.size() > IniFile::kMaxBytes) {
        WarnTooLarge(path, info.size());
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray text = file.read(IniFile::kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError || text.size() > IniFile::kMaxBytes)
        return std::nullopt;
    return text;
}

} // namespace

namespace IniFile {

std::optional<QString> Read(const QString& path, QStringView section, QStringView key) {
    std::optional<QByteArray> text = LoadText(path);
    if (!text || text->isEmpty())
        return std::nullopt;
    return CIniDocument(*text).Value(section, key);
}

bool Write(const QString& path, const QString& section, const QString& key, const QString& value) {
    std::optional<QByteArray> text = LoadText(path);
    if (!text)
        return false;
    CIniDocument doc(*text);
    if (!doc.SetValue(section, key, value))
        return false;
    const QByteArray updated = doc.ToBytes();
    if (updated == *text && QFileInfo::exists(path))
        return true;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(updated) != updated.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace IniFile
