#include "mainwindow/drop_directory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace vantrel::testing {
namespace {

namespace fs = std::filesystem;

TEST(DropDirectory, PortableCopyKeepsItBesideTheProgram) {
    TempDir dir;
    EXPECT_EQ(ChooseDropDirectory(dir.path().string(), "/home/u/.local/share/Vantrel"),
              (dir.path() / "RawSpool").string());
}

TEST(DropDirectory, InstalledOrReadOnlyProgramUsesTheUserDataDirectory) {
#ifdef _WIN32
    GTEST_SKIP() << "a Windows installation keeps the drop directory beside the program";
#endif
    EXPECT_EQ(ChooseDropDirectory("/usr/bin", "/home/u/.local/share/Vantrel"),
              "/home/u/.local/share/Vantrel/RawSpool");
    EXPECT_EQ(ChooseDropDirectory("/nonexistent/dir", "/d/Vantrel"), "/d/Vantrel/RawSpool");
}

TEST(DropDirectory, IsCreatedWhenMissingAndLeftAloneWhenPresent) {
    TempDir dir;
    const std::string drop = (dir.path() / "RawSpool").string();
    EXPECT_EQ(EnsureDropDirectory(drop), std::nullopt);
    std::ofstream(drop + "/waiting.prn") << "x";
    EXPECT_EQ(EnsureDropDirectory(drop), std::nullopt);
    EXPECT_TRUE(fs::exists(drop + "/waiting.prn"));

    std::ofstream(dir.file("blocked")) << "a file in the way";
    EXPECT_NE(EnsureDropDirectory(dir.file("blocked")), std::nullopt);
}

}  // namespace
}  // namespace vantrel::testing
