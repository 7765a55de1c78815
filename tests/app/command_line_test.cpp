// The program's command line: what a path opens as, and the wrong ones.
#include "app/command_line.h"
#include "lists/media_open_dialog.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kolvex {
namespace {

TEST(CommandLineTest, ArgumentsGiveAPathHelpOrAnError) {
    const struct {
        QStringList arguments;
        bool help;
        QString path;
        bool error;
        bool verbose = false;
    } cases[] = {
        {{"kolvex"}, false, {}, false},
        {{"kolvex", "--help"}, true, {}, false},
        {{"kolvex", "-h", "/card"}, true, "/card", false},
        {{"kolvex", "/card"}, false, "/card", false},
        {{"kolvex", "/a.MP4", "/b.MP4"}, false, "/a.MP4", false},
        {{"kolvex", "--fullscreen"}, false, {}, true},
        {{"kolvex", "--verbose", "/card"}, false, "/card", false, true},
        {{"kolvex", "/card", "-v"}, false, "/card", false, true},
    };
    for (const auto& c : cases) {
        const CommandLine line = ParseCommandLine(c.arguments);
        const std::string name = c.arguments.join(' ').toStdString();
        EXPECT_EQ(line.help, c.help) << name;
        EXPECT_EQ(line.path, c.path) << name;
        EXPECT_EQ(!line.error.isEmpty(), c.error) << name;
        EXPECT_EQ(line.verbose, c.verbose) << name;
    }
    EXPECT_TRUE(CommandLineHelp().contains(QStringLiteral("Usage: kolvex [PATH]")));
}

TEST(CommandLineTest, APathOpensAsADiskAFolderOrAFile) {
    QTemporaryDir folder;
    QFile file(folder.path() + "/MOVA0010.MP4");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QString error;
    EXPECT_EQ(SourceForPath(folder.path(), &error), CMediaOpenDialog::kSourceFolder);
    EXPECT_EQ(SourceForPath(file.fileName(), &error), CMediaOpenDialog::kSourceFile);
    // The root of a mounted file system is a card.
    EXPECT_EQ(SourceForPath(QStringLiteral("/"), &error), CMediaOpenDialog::kSourceDisk);
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(SourceForPath(folder.path() + "/missing", &error), -1);
    EXPECT_EQ(error,
              QStringLiteral("kolvex: %1/missing: no such file or folder").arg(folder.path()));
}

} // namespace
} // namespace kolvex
