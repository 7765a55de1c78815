// Reading and writing one value of an INI file on disk.
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace IniFile {

// A settings file larger than this is not a settings file: it is neither
// read nor overwritten.
inline constexpr qint64 kMaxBytes = 4 * 1024 * 1024;

// The value of the key, or nullopt when the file, the section or the key is
// missing or the file cannot be read.
std::optional<QString> Read(const QString& path, QStringView section, QStringView key);

// Sets one value and keeps every other line of the file. The new file is
// written beside the old one and renamed over it, so a failed write leaves
// the old file whole. The file is created when it does not exist. Returns
// false when the file cannot be read (it would be lost), the value cannot be
// stored or the folder cannot be written.
bool Write(const QString& path, const QString& section, const QString& key, const QString& value);

} // namespace IniFile
