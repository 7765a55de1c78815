#include "language_table.h"

#include "app_settings.h"
#include "string_tables.h"

// The string tables are found by code, so the Spanish and Italian rows reach
// their tables although their identifiers name a specific country. The
// names are written as a language list shows them, each in its own
// language and capitalised as a menu item there.
const std::array<LanguageEntry, kLanguageCount> g_LanguageTable = {{
    {u"ENG", u"English", 0x09, 1},
    {u"CHS", u"简体中文", 0x04, 2},
    {u"CHT", u"繁體中文", 0x04, 1},
    {u"ESP", u"Español", 0x0A, 1},
    {u"RUS", u"Русский", 0x19, 1},
    {u"POR", u"Português", 0x16, 2},
    {u"JPN", u"日本語", 0x11, 1},
    {u"GER", u"Deutsch", 0x07, 1},
    {u"FRA", u"Français", 0x0C, 1},
    {u"KOR", u"한국어", 0x12, 1},
    {u"ITA", u"Italiano", 0x10, 1},
    {u"LAT", u"Latviešu", 0x26, 1},
    {u"POL", u"Polski", 0x15, 1},
    {u"ROM", u"Română", 0x18, 1},
    {u"SLV", u"Slovenčina", 0x1B, 1},
    {u"UKR", u"Українська", 0x22, 1},
}};

std::uint16_t LanguageIdOf(int index) {
    if (index < 0 || index >= kLanguageCount)
        return 0;
    const LanguageEntry& e = g_LanguageTable[static_cast<size_t>(index)];
    return static_cast<std::uint16_t>((e.sub << 10) | e.primary);
}

int FindLanguageIndex(const QString& code) {
    for (int i = 0; i < kLanguageCount; ++i) {
        if (code == QStringView(g_LanguageTable[static_cast<size_t>(i)].code))
            return i;
    }
    return -1;
}

QString GetLanguageName(const QString& code) {
    const int index = FindLanguageIndex(code);
    return index < 0 ? QString()
                     : QString::fromUtf16(g_LanguageTable[static_cast<size_t>(index)].name);
}

QString GetLanguageCode(int index) {
    if (index < 0 || index >= kLanguageCount)
        return QString();
    return QString::fromUtf16(g_LanguageTable[static_cast<size_t>(index)].code);
}

bool SelectLanguageByCode(int& index, const QString& code) {
    const int found = FindLanguageIndex(code);
    if (found < 0)
        return false;
    index = found;
    return true;
}

QString& LoadLangString(QString& text, unsigned int id) {
    const int index = CAppSettings::GetInstance().LanguageIndex();
    text = CStringTables::Builtin().Lookup(index, id);
    return text;
}

QString LoadLangString(unsigned int id) {
    QString text;
    return LoadLangString(text, id);
}
