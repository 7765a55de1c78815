// The user-visible texts of the sixteen languages, read from one UTF-8 file
// per language named after its code ("ENG.txt", "CHS.txt", ...).
//
// File format, made for translators: one text per line as
//     <id><TAB><text>
// Lines that are empty or start with '#' are ignored. In the text, "\n" stands
// for a line break, "\t" for a tab and "\\" for a backslash; every other
// character, "%s" and '&' included, is taken as it is.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <map>

#include "language_table.h"

using StringTable = std::map<unsigned int, QString>;

// Parses one file; problems (malformed lines, repeated ids, bad escapes) are
// appended to `problems` as "line N: ..." and the line is skipped.
StringTable ParseStringTable(const QByteArray& data, QStringList* problems = nullptr);

// "\n", "\t" and "\\" for line break, tab and backslash: the way a text is
// written in a table file and printed by the command-line tool.
QString EscapeTableText(const QString& text);

class CStringTables {
public:
    // Reads the file of every language from `folder` (a directory or a Qt
    // resource folder); a missing or unreadable file gives an empty table.
    explicit CStringTables(const QString& folder);

    // The tables built into the program.
    static const CStringTables& Builtin();
    static QString BuiltinFolder(); // ":/kolvex/strings"

    // The text of the language itself, empty when it has none.
    QString Text(int languageIndex, unsigned int id) const;
    // The text of the language, else the English one, else empty.
    QString Lookup(int languageIndex, unsigned int id) const;

    const StringTable& Table(int languageIndex) const;
    // Problems met while reading, per language ("cannot read ..." or parse errors).
    const QStringList& Problems(int languageIndex) const;

private:
    std::array<StringTable, kLanguageCount> m_tables;
    std::array<QStringList, kLanguageCount> m_problems;
};
