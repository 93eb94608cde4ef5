// The POSIX file operations and places: why an entry cannot be printed, and one home for all.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/file_system.h"
#include "platform/runtime_text.h"
#include "platform/system_places.h"
#include "support/temp_dir.h"

namespace vantrel::testing {
namespace {

struct Unprintable {
    std::string name;
    std::string why;
};

class UnprintableEntries : public ::testing::TestWithParam<Unprintable> {};

TEST_P(UnprintableEntries, SayWhatTheyAre) {
    TempDir dir;
    std::filesystem::create_symlink(dir.file("loop"), dir.file("loop"));
    ::mkfifo(dir.file("fifo").c_str(), 0600);  // opened without a writer: must not hang
    std::filesystem::create_directory(dir.file("dir"));
    auto files = MakeSystemFileSystem();
    try {
        files->openForReading(dir.file(GetParam().name));
        ADD_FAILURE() << "opened " << GetParam().name;
    } catch (const FileReadError& error) {
        EXPECT_EQ(error.what(), GetParam().why);
    }
    EXPECT_FALSE(files->identityOf(dir.file(GetParam().name)));
}

INSTANTIATE_TEST_SUITE_P(
    Posix, UnprintableEntries,
    ::testing::Values(Unprintable{"gone", "no such file"}, Unprintable{"dir", "is a directory"},
                      Unprintable{"fifo", "is a pipe"},
                      Unprintable{"loop", "too many levels of symbolic links"},
                      Unprintable{std::string(300, 'n'), "File name too long"}),
    [](const auto& info) {
        return info.param.name.size() > 10 ? std::string("too_long") : info.param.name;
    });

TEST(PosixPlaces, AnUnsetHomeIsTakenFromThePasswordDatabase) {
    const std::string saved = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::unsetenv("HOME");
    EnsureHomeEnvironment();
    ASSERT_NE(std::getenv("HOME"), nullptr);
    EXPECT_EQ(std::string(std::getenv("HOME")), ::getpwuid(::getuid())->pw_dir);
    EXPECT_EQ(DefaultStartDirectory(), WithTrailingSeparator(std::getenv("HOME")));
    ::setenv("HOME", saved.c_str(), 1);
}

TEST(PosixPlaces, VantrelKeepsItsOwnFolderInTheUsersDataAndStateDirectories) {
    const std::string savedData = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    ::unsetenv("XDG_DATA_HOME");
    ::setenv("XDG_STATE_HOME", "/state", 1);
    EXPECT_EQ(UserDataDirectory(), std::string(std::getenv("HOME")) + "/.local/share/Vantrel");
    EXPECT_EQ(UserStateDirectory(), "/state/Vantrel");
    ::unsetenv("XDG_STATE_HOME");
    if (!savedData.empty()) ::setenv("XDG_DATA_HOME", savedData.c_str(), 1);
}

}  // namespace
}  // namespace vantrel::testing
