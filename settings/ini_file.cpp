#include "ini_file.h"

#include "ini_document.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// nullopt when the file exists but cannot be used; an empty text when it
// does not exist.
std::optional<QByteArray> LoadText(const QString& path) {
    QFileInfo info(path);
    if (!info.exists())
        return QByteArray();
    if (!info.isFile() || info.size() > IniFile::kMaxBytes)
        return std::nullopt;
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
