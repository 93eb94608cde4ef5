#include "mainwindow/drop_directory.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace vantrel::testing {
namespace {

// Beside a portable program; an installed or read-only one keeps it in the user's data
// directory, if there is one.
TEST(DropDirectory, BesideAPortableProgramElseInTheUserDataDirectory) {
    TempDir dir;
    EXPECT_EQ(ChooseDropDirectory(dir.path().string(), "/home/u/Vantrel"),
              (dir.path() / "RawSpool").string());
#ifdef _WIN32
    GTEST_SKIP() << "a Windows installation keeps the drop directory beside the program";
#endif
    EXPECT_EQ(ChooseDropDirectory("/usr/bin", "/home/u/Vantrel"), "/home/u/Vantrel/RawSpool");
    EXPECT_EQ(ChooseDropDirectory("/nonexistent/dir", "/d/Vantrel"), "/d/Vantrel/RawSpool");
    EXPECT_EQ(ChooseDropDirectory("/usr/bin", ""), "/usr/bin/RawSpool");
}

TEST(DropDirectory, IsCreatedWhenMissingAndLeftAloneWhenPresent) {
    TempDir dir;
    const std::string drop = dir.file("RawSpool");
    EXPECT_EQ(EnsureDropDirectory(drop), std::nullopt);
    const auto waiting = dir.write("RawSpool/waiting.prn", "x");
    EXPECT_EQ(EnsureDropDirectory(drop), std::nullopt);
    EXPECT_TRUE(std::filesystem::exists(waiting));
    EXPECT_NE(EnsureDropDirectory(waiting), std::nullopt);  // a file is in the way
}

}  // namespace
}  // namespace vantrel::testing
