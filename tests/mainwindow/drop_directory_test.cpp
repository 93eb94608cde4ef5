#include "mainwindow/drop_directory.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace vantrel::testing {
namespace {

TEST(DropDirectory, PortableCopyKeepsItBesideTheProgram) {
    TempDir dir;
    EXPECT_EQ(ChooseDropDirectory(dir.path().string(), "/home/u/.local/share/Vantrel"),
              (dir.path() / "RawSpool").string());
}

// An installed or read-only program keeps it in the user's data directory, if there is one.
TEST(DropDirectory, InstalledProgramUsesTheUserDataDirectory) {
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
