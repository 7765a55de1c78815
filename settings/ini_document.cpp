#include "ini_document.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

QByteArray TrimBlanks(const QByteArray& s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && IsBlank(s[begin]))
        ++begin;
    while (end > begin && IsBlank(s[end - 1]))
        --end;
    return s.mid(begin, end - begin);
}

bool HasLineBreak(const QString& s) {
    return s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r')) || s.contains(QChar(0));
}

bool IsQuote(QChar c) {
    return c == QLatin1Char('"') || c == QLatin1Char('\'');
}

// A value that would lose its outer blanks or quotes on the way back in is
// written inside double quotes; reading removes exactly one such pair.
QString QuoteIfNeeded(const QString& value) {
    if (value.isEmpty())
        return value;
    const bool blankEdge = value.front().isSpace() || value.back().isSpace();
    const bool quoted =
        value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back();
    if (blankEdge || quoted)
        return QLatin1Char('"') + value + QLatin1Char('"');
    return value;
}

} // namespace

CIniDocument::CIniDocument(const QByteArray& text) {
    QByteArray body = text;
    if (body.startsWith("\xEF\xBB\xBF")) {
        m_bom = body.left(3);
        body.remove(0, 3);
    }
    bool eolChosen = false;
    qsizetype pos = 0;
    while (pos < body.size()) {
        qsizetype nl = body.indexOf('\n', pos);
        QByteArray lineText;
        QByteArray eol;
        if (nl < 0) {
            lineText = body.mid(pos);
            pos = body.size();
        } else {
            lineText = body.mid(pos, nl - pos);
            eol = "\n";
            pos = nl + 1;
        }
        if (!eol.isEmpty() && lineText.endsWith('\r')) {
            lineText.chop(1);
            eol = "\r\n";
        }
        if (!eolChosen && !eol.isEmpty()) {
            m_eol = eol;
            eolChosen = true;
        }
        m_lines.push_back(Classify(std::move(lineText), std::move(eol)));
    }
}

CIniDocument::Line CIniDocument::Classify(QByteArray text, QByteArray eol) {
    Line line{std::move(text), std::move(eol), Kind::Other, {}};
    const QByteArray trimmed = TrimBlanks(line.text);
    if (trimmed.isEmpty() || trimmed[0] == ';' || trimmed[0] == '#')
        return line;
    if (trimmed[0] == '[') {
        qsizetype close = trimmed.indexOf(']');
        QByteArray name = trimmed.mid(1, close < 0 ? -1 : close - 1);
        line.kind = Kind::Section;
        line.name = QString::fromUtf8(TrimBlanks(name));
        return line;
    }
    qsizetype eq = trimmed.indexOf('=');
    if (eq <= 0)
        return line;
    QByteArray key = TrimBlanks(trimmed.left(eq));
    if (key.isEmpty())
        return line;
    line.kind = Kind::Key;
    line.name = QString::fromUtf8(key);
    return line;
}

int CIniDocument::FindSection(QStringView section) const {
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const Line& l = m_lines[i];
        if (l.kind == Kind::Section && section.compare(l.name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

int CIniDocument::SectionEnd(int sectionLine) const {
    size_t i = static_cast<size_t>(sectionLine) + 1;
    while (i < m_lines.size() && m_lines[i].kind != Kind::Section)
        ++i;
    return static_cast<int>(i);
}

int CIniDocument::FindKey(int sectionLine, QStringView key) const {
    const int end = SectionEnd(sectionLine);
    for (int i = sectionLine + 1; i < end; ++i) {
        const Line& l = m_lines[static_cast<size_t>(i)];
        if (l.kind == Kind::Key && key.compare(l.name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

std::optional<QString> CIniDocument::Value(QStringView section, QStringView key) const {
    const int s = FindSection(section);
    if (s < 0)
        return std::nullopt;
    const int k = FindKey(s, key);
    if (k < 0)
        return std::nullopt;
    const QByteArray& text = m_lines[static_cast<size_t>(k)].text;
    QString value = QString::fromUtf8(TrimBlanks(text.mid(text.indexOf('=') + 1)));
    if (value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back())
        value = value.mid(1, value.size() - 2);
    return value;
}

bool CIniDocument::SetValue(const QString& section, const QString& key, const QString& value) {
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    if (sectionName.isEmpty() || sectionName != section || HasLineBreak(section) ||
        section.contains(QLatin1Char(']')))
        return false;
    if (keyName.isEmpty() || keyName != key || HasLineBreak(key) ||
        key.contains(QLatin1Char('=')) || key.startsWith(QLatin1Char('[')) ||
        key.startsWith(QLatin1Char(';')) || key.startsWith(QLatin1Char('#')))
        return false;
    if (HasLineBreak(value))
        return false;

    const QByteArray keyLine = key.toUtf8() + '=' + QuoteIfNeeded(value).toUtf8();
    int s = FindSection(section);
    if (s < 0) {
        if (!m_lines.empty() && m_lines.back().eol.isEmpty())
            m_lines.back().eol = m_eol;
        m_lines.push_back(Classify('[' + section.toUtf8() + ']', m_eol));
        m_lines.push_back(Classify(keyLine, m_eol));
        return true;
    }
    const int k = FindKey(s, key);
    if (k >= 0) {
        Line& line = m_lines[static_cast<size_t>(k)];
        line = Classify(keyLine, line.eol.isEmpty() ? QByteArray() : line.eol);
        return true;
    }
    // After the last non-blank line of the section, so that the blank lines
    // that separate it from the next section stay where they are.
    int insertAt = s + 1;
    const int end = SectionEnd(s);
    for (int i = s + 1; i < end; ++i) {
        if (!TrimBlanks(m_lines[static_cast<size_t>(i)].text).isEmpty())
            insertAt = i + 1;
    }
    Line& before = m_lines[static_cast<size_t>(insertAt - 1)];
    if (before.eol.isEmpty())
        before.eol = m_eol;
    m_lines.insert(m_lines.begin() + insertAt, Classify(keyLine, m_eol));
    return true;
}

QByteArray CIniDocument::ToBytes() const {
    QByteArray out = m_bom;
    for (const Line& l : m_lines) {
        out += l.text;
        out += l.eol;
    }
    return out;
}
