// kolvex-cli strings [--lang CODE]: the interface texts as the program shows
// them, one per line as "id<TAB>code<TAB>text", for translators and checks.
// Line breaks, tabs and backslashes inside a text are written as \n, \t and
// \\, the way the string-table files hold them.
#include "command.h"

#include "language_table.h"
#include "string_tables.h"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <set>

namespace kolvex::cli {
namespace {

constexpr const char* kUsageLine = "Usage: kolvex-cli strings [--lang CODE]\n";

QString KnownCodes() {
    QStringList codes;
    for (int i = 0; i < kLanguageCount; ++i)
        codes << GetLanguageCode(i);
    return codes.join(QStringLiteral(", "));
}

int RunStrings(const std::vector<std::string>& args) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::printf("%s\n"
                    "Prints every interface text of one language (CODE) or of all sixteen,\n"
                    "one per line: id, language code and text, separated by tabs. A text the\n"
                    "language lacks is printed in English, as the program shows it.\n"
                    "Codes: %s.\n\n"
                    "Exit status: 0 printed, 64 bad command line or unknown code.\n",
                    kUsageLine, qPrintable(KnownCodes()));
        return kOk;
    }
    int first = 0;
    int last = kLanguageCount - 1;
    if (!args.empty()) {
        if (args.size() != 2 || args[0] != "--lang") {
            std::fputs(kUsageLine, stderr);
            return kUsage;
        }
        // Codes are upper case in the settings file; accept any case here.
        const int index = FindLanguageIndex(QString::fromStdString(args[1]).toUpper());
        if (index < 0) {
            std::fprintf(stderr, "kolvex-cli strings: unknown language code '%s' (one of %s)\n",
                         args[1].c_str(), qPrintable(KnownCodes()));
            return kUsage;
        }
        first = last = index;
    }

    const CStringTables& tables = CStringTables::Builtin();
    std::set<unsigned int> ids;
    for (int lang = 0; lang < kLanguageCount; ++lang)
        for (const auto& entry : tables.Table(lang))
            ids.insert(entry.first);

    QByteArray out;
    for (int lang = first; lang <= last; ++lang) {
        const QByteArray code = GetLanguageCode(lang).toUtf8();
        for (unsigned int id : ids) {
            out += QByteArray::number(id) + '\t' + code + '\t' +
                   EscapeTableText(tables.Lookup(lang, id)).toUtf8() + '\n';
        }
    }
    std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
    return std::fflush(stdout) == 0 ? kOk : kFailure;
}

} // namespace

KOLVEX_CLI_COMMAND({"strings", "strings [--lang CODE]",
                    "the interface texts of one or all languages (id, code, text)", RunStrings});

} // namespace kolvex::cli
