// The contact sheet tool writes one picture holding the whole skin.
#include "skin_table.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

namespace kolvex::skin {
namespace {

std::unique_ptr<QProcess> runSheet(const QStringList& arguments) {
    auto process = std::make_unique<QProcess>();
    process->start(QStringLiteral(KOLVEX_CONTACT_SHEET), arguments);
    process->waitForFinished(120000);
    return process;
}

TEST(ContactSheet, WritesOnePictureLargeEnoughForTheWholeSkin) {
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("sheet.png"));
    const auto run = runSheet({output});
    ASSERT_EQ(run->exitCode(), 0) << run->readAllStandardError().toStdString();

    const QImage sheet(output);
    ASSERT_FALSE(sheet.isNull());
    int area = 0;
    for (const SkinPicture& picture : pictures())
        area += picture.width * picture.height;
    EXPECT_GT(sheet.width(), 733);
    EXPECT_GT(sheet.width() * sheet.height(), area * 2);
}

TEST(ContactSheet, ReportsAnOutputItCannotWrite) {
    const auto missing = runSheet({});
    EXPECT_EQ(missing->exitCode(), 2);
    const auto unwritable = runSheet({QStringLiteral("/nonexistent/dir/sheet.png")});
    EXPECT_EQ(unwritable->exitCode(), 1);
    EXPECT_FALSE(unwritable->readAllStandardError().isEmpty());
}

} // namespace
} // namespace kolvex::skin
