// The snapshot's proposed name and the file a chosen name becomes: the
// extension decides the format, the filter only when the name has none.
#include "app/snapshot_name.h"

#include <gtest/gtest.h>

namespace kolvex {
namespace {

const QString kJpeg = QStringLiteral("Jpeg File(*.jpg)");
const QString kPng = QStringLiteral("Png File(*.png)");

TEST(SnapshotNameTest, TheExtensionDecidesAndTheFilterFillsInWhereThereIsNone) {
    const struct {
        QString chosen;
        QString filter;
        QString expected;
    } cases[] = {
        {"/p/a.jpg", kJpeg, "/p/a.jpg"},
        {"/p/a.jpg", kPng, "/p/a.jpg"},
        {"/p/a.png", kJpeg, "/p/a.png"},
        {"/p/A.JPEG", kPng, "/p/A.JPEG"},
        {"/p/a", kJpeg, "/p/a.jpg"},
        {"/p/a", kPng, "/p/a.png"},
        // A dot inside a name is no extension.
        {"/p/at 08.12", kPng, "/p/at 08.12.png"},
        {"/p/MOVA0010.MP4", kJpeg, "/p/MOVA0010.MP4.jpg"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SnapshotFileFor(c.chosen, c.filter), c.expected)
            << c.chosen.toStdString() << " " << c.filter.toStdString();
    // A change of filter changes the proposed extension only.
    EXPECT_EQ(WithFilterExtension("MOVA0010_00-07.jpg", kPng), "MOVA0010_00-07.png");
    EXPECT_EQ(WithFilterExtension("crash", kPng), "crash");
}

TEST(SnapshotNameTest, TheProposedNameIsTheRecordingsAndTheTimeInIt) {
    EXPECT_EQ(SnapshotBaseName("/card/DCIM/CAMF/MOVA0010.MP4", 67'900), "MOVA0010_01-07");
    EXPECT_EQ(SnapshotBaseName("/card/MOVA0010.MP4", 3'725'000), "MOVA0010_1-02-05");
    EXPECT_EQ(SnapshotBaseName("/card/MOVA0010.MP4", -1), "MOVA0010_00-00");
    EXPECT_EQ(SnapshotBaseName("", 0), "snapshot_00-00");
}

} // namespace
} // namespace kolvex
