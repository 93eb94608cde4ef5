// The POSIX file operations and places: why an entry cannot be printed, and one home for all.
#include <gmock/gmock.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include "platform/file_system.h"
#include "platform/runtime_text.h"
#include "platform/system_places.h"
#include "support/temp_dir.h"

namespace vantrel::testing {
namespace {

// An entry and why it cannot be printed.
const std::pair<std::string, std::string> kUnprintable[] = {
    {"gone", "no such file"},
    {"dir", "is a directory"},
    {"fifo", "is a pipe"},
    {"loop", "too many levels of symbolic links"},
    {std::string(300, 'n'), "File name too long"},
};

TEST(PosixFileSystem, UnprintableEntriesSayWhatTheyAre) {
    TempDir dir;
    std::filesystem::create_symlink(dir.file("loop"), dir.file("loop"));
    ::mkfifo(dir.file("fifo").c_str(), 0600);  // opened without a writer: must not hang
    std::filesystem::create_directory(dir.file("dir"));
    auto files = MakeSystemFileSystem();
    for (const auto& [name, why] : kUnprintable) {
        SCOPED_TRACE(name);
        EXPECT_THAT([&] { files->openForReading(dir.file(name)); },
                    ::testing::ThrowsMessage<FileReadError>(why));
        EXPECT_FALSE(files->identityOf(dir.file(name)));
    }
}

TEST(PosixPlaces, AnUnsetHomeIsTakenFromThePasswordDatabase) {
    const std::string saved = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::unsetenv("HOME");
    EnsureHomeEnvironment();
    EXPECT_EQ(std::string(std::getenv("HOME")), ::getpwuid(::getuid())->pw_dir);
    EXPECT_EQ(DefaultStartDirectory(), WithTrailingSeparator(std::getenv("HOME")));
    ::setenv("HOME", saved.c_str(), 1);
}

TEST(PosixPlaces, VantrelKeepsItsOwnFolderInTheUsersDataAndStateDirectories) {
    ::unsetenv("XDG_DATA_HOME");
    ::setenv("XDG_STATE_HOME", "/state", 1);
    EXPECT_EQ(UserDataDirectory(), std::string(std::getenv("HOME")) + "/.local/share/Vantrel");
    EXPECT_EQ(UserStateDirectory(), "/state/Vantrel");
    ::unsetenv("XDG_STATE_HOME");
}

}  // namespace
}  // namespace vantrel::testing
