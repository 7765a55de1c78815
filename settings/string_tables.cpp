#include "string_tables.h"

#include <QFile>

#include <limits>

// Qt resources of a static library must be registered by name; doing it here
// keeps every user of the tables from having to know.
static void RegisterBuiltinStrings() {
    Q_INIT_RESOURCE(kolvex_strings);
}

namespace {

bool Unescape(QStringView raw, QString& out) {
    out.clear();
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (++i >= raw.size())
            return false;
        switch (raw[i].unicode()) {
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case '\\':
            out += QLatin1Char('\\');
            break;
        default:
            return false;
        }
    }
    return true;
}

} // namespace

StringTable ParseStringTable(const QByteArray& data, QStringList* problems) {
    StringTable table;
    auto complain = [&](int lineNo, const QString& what) {
        if (problems)
            problems->append(QStringLiteral("line %1: %2").arg(lineNo).arg(what));
    };
    QByteArray body = data.startsWith("\xEF\xBB\xBF") ? data.mid(3) : data;
    const QList<QByteArray> lines = body.split('\n');
    int lineNo = 0;
    for (QByteArray line : lines) {
        ++lineNo;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith('#'))
            continue;
        const qsizetype tab = line.indexOf('\t');
        if (tab <= 0) {
            complain(lineNo, QStringLiteral("expected <id><TAB><text>"));
            continue;
        }
        bool ok = false;
        const qulonglong id = line.left(tab).trimmed().toULongLong(&ok);
        if (!ok || id > std::numeric_limits<unsigned int>::max()) {
            complain(lineNo, QStringLiteral("the id is not a number"));
            continue;
        }
        const QString raw = QString::fromUtf8(line.mid(tab + 1));
        if (raw.contains(QChar::ReplacementCharacter)) {
            complain(lineNo, QStringLiteral("the text is not valid UTF-8"));
            continue;
        }
        QString text;
        if (!Unescape(raw, text)) {
            complain(lineNo, QStringLiteral("unknown escape (use \\n, \\t or \\\\)"));
            continue;
        }
        const auto key = static_cast<unsigned int>(id);
        if (table.count(key)) {
            complain(lineNo, QStringLiteral("id %1 appears twice").arg(key));
            continue;
        }
        table.emplace(key, std::move(text));
    }
    return table;
}

QString EscapeTableText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\t'))
            out += QLatin1String("\\t");
        else
            out += c;
    }
    return out;
}

CStringTables::CStringTables(const QString& folder) {
    for (int i = 0; i < kLanguageCount; ++i) {
        const QString path = folder + QLatin1Char('/') + GetLanguageCode(i) + QLatin1String(".txt");
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            m_problems[static_cast<size_t>(i)].append(QStringLiteral("cannot read ") + path);
            continue;
        }
        m_tables[static_cast<size_t>(i)] =
            ParseStringTable(file.readAll(), &m_problems[static_cast<size_t>(i)]);
    }
}

QString CStringTables::BuiltinFolder() {
    return QStringLiteral(":/kolvex/strings");
}

const CStringTables& CStringTables::Builtin() {
    static const CStringTables tables = [] {
        RegisterBuiltinStrings();
        return CStringTables(BuiltinFolder());
    }();
    return tables;
}

QString CStringTables::Text(int languageIndex, unsigned int id) const {
    if (languageIndex < 0 || languageIndex >= kLanguageCount)
        return QString();
    const StringTable& table = m_tables[static_cast<size_t>(languageIndex)];
    auto it = table.find(id);
    return it == table.end() ? QString() : it->second;
}

QString CStringTables::Lookup(int languageIndex, unsigned int id) const {
    QString text = Text(languageIndex, id);
    if (text.isEmpty())
        text = Text(kEnglishIndex, id);
    return text;
}

const StringTable& CStringTables::Table(int languageIndex) const {
    static const StringTable empty;
    if (languageIndex < 0 || languageIndex >= kLanguageCount)
        return empty;
    return m_tables[static_cast<size_t>(languageIndex)];
}

const QStringList& CStringTables::Problems(int languageIndex) const {
    static const QStringList none;
    if (languageIndex < 0 || languageIndex >= kLanguageCount)
        return none;
    return m_problems[static_cast<size_t>(languageIndex)];
}
