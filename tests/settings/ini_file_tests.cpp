// One value of an INI file on disk: created on the first write, and a write
// that cannot be done leaves what is there alone.
#include "ini_file.h"
#include "temp_folder.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(IniFile, FirstWriteCreatesTheFileAndLaterWritesUpdateIt) {
    TempFolder tmp;
    const QString ini = tmp.Path("Kolvex.ini");
    EXPECT_FALSE(IniFile::Read(ini, u"UI", u"MAP").has_value());
    EXPECT_FALSE(QFile::exists(ini)) << "reading must not create the file";

    ASSERT_TRUE(IniFile::Write(ini, "UI", "MAP", "1"));
    ASSERT_TRUE(IniFile::Write(ini, "WINPOS", "LEFT", "-20"));
    ASSERT_TRUE(IniFile::Write(ini, "ui", "map", "0"));
    EXPECT_EQ(IniFile::Read(ini, u"UI", u"MAP").value_or("?").toStdString(), "0");
    EXPECT_EQ(IniFile::Read(ini, u"WINPOS", u"LEFT").value_or("?").toStdString(), "-20");
    EXPECT_EQ(TempFolder::ReadFile(ini).toStdString(), "[UI]\nmap=0\n[WINPOS]\nLEFT=-20\n");
    // The replacement is written beside the file and renamed: nothing is left over.
    EXPECT_EQ(QDir(tmp.Root()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"Kolvex.ini"});
}

TEST(IniFile, UnwritableLocationFailsWithoutHarm) {
    TempFolder tmp;
    // Permission bits do not stop root; a regular file where the folder
    // should be stops everyone.
    TempFolder::WriteFile(tmp.Path("not-a-folder"), "x");
    const QString ini = tmp.Path("not-a-folder/Kolvex.ini");
    EXPECT_FALSE(IniFile::Write(ini, "UI", "MAP", "1"));
    EXPECT_FALSE(IniFile::Read(ini, u"UI", u"MAP").has_value());
    EXPECT_EQ(TempFolder::ReadFile(tmp.Path("not-a-folder")).toStdString(), "x");
}

TEST(IniFile, WhatCannotBeReadIsNeverOverwritten) {
    TempFolder tmp;
    // A folder in the file's place.
    ASSERT_TRUE(QDir(tmp.Root()).mkdir("Kolvex.ini"));
    EXPECT_FALSE(IniFile::Write(tmp.Path("Kolvex.ini"), "UI", "MAP", "1"));
    EXPECT_TRUE(QFileInfo(tmp.Path("Kolvex.ini")).isDir());

    // A file far too large to be settings: rewriting it would lose what it is.
    const QString big = tmp.Path("big.ini");
    QByteArray bytes = "[UI]\nMAP=1\n";
    bytes += QByteArray(IniFile::kMaxBytes, ';');
    TempFolder::WriteFile(big, bytes);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(IniFile::Read(big, u"UI", u"MAP").has_value());
    EXPECT_FALSE(IniFile::Write(big, "UI", "MAP", "0"));
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(TempFolder::ReadFile(big).size(), bytes.size());
    // Said once, with the file's name: the settings in force are not its own.
    EXPECT_NE(said.find(big.toStdString() + " is too large"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
}

TEST(IniFile, LinkedFileStaysLinkedAndKeepsItsPermissions) {
    TempFolder tmp;
    const QString real = tmp.Path("elsewhere.ini");
    TempFolder::WriteFile(real, "[UI]\nMAP=0\n");
    const auto privateMode = QFile::ReadOwner | QFile::WriteOwner;
    ASSERT_TRUE(QFile::setPermissions(real, privateMode));
    ASSERT_TRUE(QFile::link(real, tmp.Path("Kolvex.ini")));

    ASSERT_TRUE(IniFile::Write(tmp.Path("Kolvex.ini"), "UI", "MAP", "1"));
    EXPECT_TRUE(QFileInfo(tmp.Path("Kolvex.ini")).isSymLink());
    EXPECT_EQ(TempFolder::ReadFile(real).toStdString(), "[UI]\nMAP=1\n");
    const auto ownerGroupOther = QFileDevice::Permissions::fromInt(0x7077);
    EXPECT_EQ(QFile::permissions(real) & ownerGroupOther, privateMode);
}

TEST(IniFile, RefusedValueLeavesTheFileAsItWas) {
    TempFolder tmp;
    const QString ini = tmp.Path("Kolvex.ini");
    TempFolder::WriteFile(ini, "[UI]\nFolder=/a\n");
    EXPECT_FALSE(IniFile::Write(ini, "UI", "Folder", "/a\n[UI]\nMAP=1"));
    EXPECT_EQ(TempFolder::ReadFile(ini).toStdString(), "[UI]\nFolder=/a\n");
}

} // namespace
