// kolvex-cli strings: the tab-separated listing that translators and outside
// checks read.
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

struct CliRun {
    int exitCode;
    QString out;
    QString err;
};

CliRun Cli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(KOLVEX_CLI_PATH), QStringList{"strings"} + args);
    EXPECT_TRUE(p.waitForFinished(30000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

TEST(CliStrings, OneLanguageListsEveryIdOnce) {
    const CliRun r = Cli({"--lang", "GER"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 134);
    for (const QString& line : lines) {
        const QStringList fields = line.split('\t');
        ASSERT_EQ(fields.size(), 3) << line.toStdString();
        EXPECT_EQ(fields[1], "GER");
    }
    EXPECT_EQ(lines.front().toStdString(), "101\tGER\t&Über KOLVEX...");
    EXPECT_TRUE(lines.contains("108\tGER\tAbbrechen"));
}

TEST(CliStrings, AllLanguagesWithoutAnOption) {
    const CliRun r = Cli({});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), 16 * 134);
    EXPECT_TRUE(lines.contains("141\tUKR\tФайл «%s» уже існує. Перезаписати його?"));
}

TEST(CliStrings, UnknownCodeOrBadOptionIsAUsageError) {
    for (const QStringList& args :
         {QStringList{"--lang", "XYZ"}, QStringList{"--lang"}, QStringList{"--language", "GER"}}) {
        const CliRun r = Cli(args);
        EXPECT_EQ(r.exitCode, 64) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_FALSE(r.err.isEmpty());
    }
}

} // namespace
