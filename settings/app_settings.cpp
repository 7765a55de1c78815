#include "app_settings.h"

#include "ini_file.h"
#include "language_table.h"
#include "qt_catalogue.h"
#include "settings_location.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <climits>
#include <cstdio>

namespace {

CAppSettings* g_pProcessInstance = nullptr;

// Leading blanks, an optional sign, then digits; the first other character
// ends the number. Values beyond int are held at int's limits.
int ParseSignedDecimal(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text[i].unicode() - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

} // namespace

CAppSettings& CAppSettings::GetInstance() {
    static CAppSettings instance = [] {
        const kolvex::SettingsLocation& location = kolvex::ProcessSettingsLocation();
        // Said once: the settings work on (reads give the defaults, writes
        // fail), but the user should know why nothing is kept.
        if (!location.problem.isEmpty())
            std::fprintf(stderr, "%s\n",
                         kolvex::DescribeSettingsLocation(location).toLocal8Bit().constData());
        return CAppSettings(location.path);
    }();
    g_pProcessInstance = &instance;
    // Qt's catalogue needs the application object; the settings may be asked
    // for before it exists, so it is installed at the first call that finds it.
    static bool catalogueInstalled = false;
    if (!catalogueInstalled && QCoreApplication::instance()) {
        InstallQtCatalogue(instance.m_nLangIndex);
        catalogueInstalled = true;
    }
    return instance;
}

CAppSettings::CAppSettings(const QString& iniPath)
    : m_strIniPath(iniPath), m_nLangIndex(kEnglishIndex), m_wLangId(LanguageIdOf(kEnglishIndex)) {
    ReadLanguage();
}

std::uint16_t CAppSettings::ReadLanguage() {
    const QString code =
        ReadString(KolvexIni::kSectionUI, KolvexIni::kLangId, QStringLiteral("ENG"));
    SelectLanguageByCode(m_nLangIndex, code);
    m_wLangId = LanguageIdOf(m_nLangIndex);
    return m_wLangId;
}

bool CAppSettings::SetLanguage(int index) {
    if (index < 0 || index >= kLanguageCount)
        return false;
    m_nLangIndex = index;
    m_wLangId = LanguageIdOf(index);
    if (this == g_pProcessInstance)
        InstallQtCatalogue(index);
    return WriteString(KolvexIni::kSectionUI, KolvexIni::kLangId, GetLanguageCode(index));
}

int CAppSettings::ReadMapType() {
    const int value = ReadInt(KolvexIni::kSectionUI, KolvexIni::kMap, 0);
    m_nMapType = std::clamp(value, 0, 1);
    return m_nMapType;
}

bool CAppSettings::SetMapType(int mapType) {
    m_nMapType = std::clamp(mapType, 0, 1);
    return WriteInt(KolvexIni::kSectionUI, KolvexIni::kMap, m_nMapType);
}

QString CAppSettings::ReadLastFolder() const {
    const QString folder = ReadString(KolvexIni::kSectionUI, KolvexIni::kFolder);
    if (folder.isEmpty() || !QFileInfo::exists(folder))
        return QString();
    return folder;
}

QString CAppSettings::ReadMapTileUrl(int mapType) const {
    if (mapType == 0)
        return ReadString(KolvexIni::kSectionUI, KolvexIni::kMapTileUrl0);
    if (mapType == 1)
        return ReadString(KolvexIni::kSectionUI, KolvexIni::kMapTileUrl1);
    return QString();
}

bool CAppSettings::ReadWindowRect(QRect& rect, const QRect& screen) const {
    using KolvexIni::kSectionWinPos;
    // 64-bit so that extreme saved values cannot overflow the arithmetic.
    long long left = ReadInt(kSectionWinPos, KolvexIni::kLeft, 0);
    long long top = ReadInt(kSectionWinPos, KolvexIni::kTop, 0);
    const long long right = ReadInt(kSectionWinPos, KolvexIni::kRight, 800);
    const long long bottom = ReadInt(kSectionWinPos, KolvexIni::kBottom, 560);
    const long long screenW = std::max(0, screen.width());
    const long long screenH = std::max(0, screen.height());

    const long long width = std::min(std::max(right - left, 800LL), screenW);
    const long long height = std::min(std::max(bottom - top, 560LL), screenH);
    // Saved positions are screen coordinates; clamp them relative to the
    // corner of the available area.
    left -= screen.left();
    top -= screen.top();
    if (left > screenW - width)
        left = screenW - width;
    else if (left < 0)
        left = 0;
    if (top > screenH - height)
        top = screenH - height;
    else if (top < 0)
        top = 0;
    rect = QRect(static_cast<int>(screen.left() + left), static_cast<int>(screen.top() + top),
                 static_cast<int>(width), static_cast<int>(height));
    return true;
}

int CAppSettings::ReadInt(const char* section, const char* key, int defaultValue) const {
    const std::optional<QString> text =
        IniFile::Read(m_strIniPath, QString::fromLatin1(section), QString::fromLatin1(key));
    if (!text || text->isEmpty())
        return defaultValue;
    return ParseSignedDecimal(*text);
}

bool CAppSettings::WriteInt(const char* section, const char* key, int value) {
    return WriteString(section, key, QString::number(value));
}

QString CAppSettings::ReadString(const char* section, const char* key,
                                 const QString& defaultValue) const {
    const std::optional<QString> text =
        IniFile::Read(m_strIniPath, QString::fromLatin1(section), QString::fromLatin1(key));
    if (!text || text->isEmpty())
        return defaultValue;
    return *text;
}

bool CAppSettings::WriteString(const char* section, const char* key, const QString& value) {
    return IniFile::Write(m_strIniPath, QString::fromLatin1(section), QString::fromLatin1(key),
                          value);
}
