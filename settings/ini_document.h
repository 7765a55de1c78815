// The text of an INI file held line by line, so that changing one value
// rewrites that line alone and every other byte of the file stays as it was.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

// Section and key names compare case-insensitively; the first section and the
// first key of a name are the ones read and written, as the classic INI
// functions do. Lines before the first section, comments (';' or '#') and
// lines without '=' are kept but never read.
class CIniDocument {
public:
    explicit CIniDocument(const QByteArray& text = {});

    // The value with surrounding blanks removed and, when it is wrapped in a
    // pair of matching quotes, without them; nullopt when the key is absent.
    std::optional<QString> Value(QStringView section, QStringView key) const;

    // Replaces the key's line, or adds the key at the end of its section, or
    // adds the section at the end of the file. Returns false and changes
    // nothing when the names or the value cannot be stored in an INI line
    // (line breaks, '=' in a key, ']' in a section name, empty names).
    bool SetValue(const QString& section, const QString& key, const QString& value);

    QByteArray ToBytes() const;

private:
    enum class Kind { Other, Section, Key };
    struct Line {
        QByteArray text; // without the line break
        QByteArray eol;  // "\n", "\r\n" or empty for a last line without one
        Kind kind = Kind::Other;
        QString name; // section or key name
    };

    static Line Classify(QByteArray text, QByteArray eol);
    int FindSection(QStringView section) const; // line index or -1
    int SectionEnd(int sectionLine) const;      // index of the next section or size
    int FindKey(int sectionLine, QStringView key) const;

    QByteArray m_bom;
    std::vector<Line> m_lines;
    QByteArray m_eol = "\n";
};
