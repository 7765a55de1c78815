// The sixteen interface languages and the lookup of user-visible texts.
#pragma once

#include <QString>

#include <array>
#include <cstdint>

struct LanguageEntry {
    const char16_t* code; // three capital letters, as stored in Kolvex.ini
    const char16_t* name; // the language's own name, for the language list
    std::uint16_t primary;
    std::uint16_t sub;
};

inline constexpr int kLanguageCount = 16;
inline constexpr int kEnglishIndex = 0;

// Fixed order: the index is what the settings keep in memory and the order
// of the language list.
extern const std::array<LanguageEntry, kLanguageCount> g_LanguageTable;

// (sub << 10) | primary of a row.
std::uint16_t LanguageIdOf(int index);

// Row whose code equals `code` exactly (case-sensitive), or -1.
int FindLanguageIndex(const QString& code);
// Name of the row of `code`; empty for a code that is not in the table.
QString GetLanguageName(const QString& code);
// Code of row `index`; empty outside 0..15.
QString GetLanguageCode(int index);
// Sets `index` to the row of `code` and returns true, or leaves it and
// returns false when the code is not in the table.
bool SelectLanguageByCode(int& index, const QString& code);

// The text of string `id` in the current language of the settings, or in
// English when that language has no or an empty text for it; empty when
// English lacks it too. Returns `text`.
QString& LoadLangString(QString& text, unsigned int id);
QString LoadLangString(unsigned int id);
