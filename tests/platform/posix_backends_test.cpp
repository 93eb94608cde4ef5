// The POSIX backends: why an entry cannot be printed, one home for all, and the legacy INI file
// read as the Windows profile functions read it.
#include <gmock/gmock.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/backends.h"
#include "platform/file_system.h"
#include "platform/path_separator.h"
#include "platform/system_places.h"
#include "support/temp_dir.h"
#include "text/runtime_text.h"

namespace vantrel::testing {
namespace {

using namespace std::string_literals;

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

// Copies of standard input are kept where no signal can leave them behind: under no name.
TEST(PosixFileSystem, APrivateFileHasNoNameAndEveryReaderReadsItAll) {
    TempDir dir;
    ::setenv("TMPDIR", dir.path().c_str(), 1);
    auto kept = MakeSystemFileSystem()->createPrivateFile();
    ::unsetenv("TMPDIR");
    kept->write("abc", 3);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    char got[8];
    for (int copy = 0; copy < 2; ++copy) {
        EXPECT_EQ(std::string(got, kept->openForReading()->read(got, sizeof got)), "abc");
    }
}

// Moves and copies never replace what has the name, and the checks tell the kinds apart.
TEST(PosixFileSystem, MovesAndCopiesNeverReplaceAndEntriesAreToldApart) {
    namespace fs = std::filesystem;
    TempDir dir;
    auto files = MakeSystemFileSystem();
    auto in = [&](const char* name) { return dir.file(name); };
    fs::permissions(dir.write("a", "A"), fs::perms::owner_read | fs::perms::group_read);
    dir.write("taken", "T");
    fs::create_directory(in("dir"));
    fs::create_symlink("a", in("link"));
    fs::create_symlink("dir", in("dirlink"));
    ::mkfifo(in("fifo").c_str(), 0600);
    std::string kinds;  // Missing, PlainFile, Directory, Other, and L for a link
    for (auto name : {"a", "link", "dirlink", "fifo", "gone"}) {
        kinds += "MPDO"[static_cast<int>(files->kindOf(in(name)))];
        kinds += files->isSymbolicLink(in(name)) ? "L " : " ";
    }
    EXPECT_EQ(kinds, "P PL DL O M ");
    EXPECT_TRUE(files->sameDirectory(in("dir"), in("dirlink")));
    EXPECT_FALSE(files->sameDirectory(in("dir"), in(".")) ||
                 files->sameDirectory(in("a"), in("a")));
    std::error_code listed;  // a failed listing, then one that succeeds
    EXPECT_TRUE(files->entryNames(in("taken"), listed).empty() &&
                listed == std::errc::not_a_directory);
    // Each step's errno, 0 for none; the steps run in this order.
    const std::pair<int, std::error_code> kSteps[] = {
        {EEXIST, files->copyWithoutReplacing(in("a"), in("taken"))},
        {EEXIST, files->moveWithoutReplacing(in("a"), in("taken"))},
        {EEXIST, files->copyWithoutReplacing(in("taken"), in("link"))},
        {ENOTSUP, files->copyWithoutReplacing(in("fifo"), in("new"))},
        {ENOENT, files->copyWithoutReplacing(in("gone"), in("new"))},
        {0, files->copyWithoutReplacing(in("a"), in("dir/copy"))},
        {0, files->moveWithoutReplacing(in("a"), in("moved"))},
        {0, files->makeDirectory(in("dir"))},
        {EEXIST, files->makeDirectory(in("taken"))},
        {ENOENT, files->makeDirectory(in("gone/dir"))},
    };
    for (const auto& [expected, got] : kSteps) {
        EXPECT_EQ(got.value(), expected) << &got - &kSteps[0].second << ": " << got.message();
    }
    EXPECT_EQ(ReadFile(in("taken")) + ReadFile(in("moved")) + ReadFile(in("dir/copy")), "TAA");
    EXPECT_EQ(fs::status(in("dir/copy")).permissions(), fs::status(in("moved")).permissions());
    EXPECT_EQ(files->entryNames(in("dir"), listed), std::vector<std::string>{"copy"});
    EXPECT_FALSE(listed || fs::exists(in("new")));
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

// A legacy file and the value of "Start Dir" in section "Defaults" read from it into a buffer
// of a given size, the default being "c:\" with two trailing blanks.
struct IniCase {
    const char* name;
    std::string file, expected;
    std::size_t bufferSize = 255;
};

const std::string kLong(300, 'v');
const IniCase kIniCases[] = {
    {"NamedSection", "[Mask]\nStart Dir=m\n[Defaults]\nStart Dir=d\n", "d"},
    {"LetterCase", "[DEFAULTS]\nSTART dir=x\n", "x"},
    {"Blanks", "  [ Defaults ]  \n\t Start Dir \t=  /tmp/done/  \n", "/tmp/done/"},
    {"RestOfTheLine", "[Defaults]\nStart Dir=*.a  *.b ; c=d", "*.a  *.b ; c=d"},
    {"DoubleQuotes", "[Defaults]\nStart Dir=\"  c:\\q \"\n", "  c:\\q "},
    {"SingleQuotes", "[Defaults]\nStart Dir='single'\n", "single"},
    {"UnpairedQuote", "[Defaults]\nStart Dir=\"Move\n", "\"Move"},
    {"EmptyValue", "[Defaults]\nStart Dir=\n", ""},
    {"CutTo254", "[Defaults]\nStart Dir=" + kLong, kLong.substr(0, 254)},
    {"CutToTheBuffer", "[Defaults]\nStart Dir=" + kLong, kLong.substr(0, 9), 10},
    {"DefaultCutToTheBuffer", "", "c:", 3},
    {"FirstKeyWins", "[Defaults]\nStart Dir=1\nstart dir=2\n", "1"},
    {"FirstSectionOnly", "[Defaults]\nAuto On=1\n[Defaults]\nStart Dir=3\n", "c:\\"},
    {"CommentsAndStrayLines",
     "Start Dir=5\n; [Defaults]\n[Defaults]\n;Start Dir=1\nnot a key\nStart Dir=3\n", "3"},
    {"WindowsLineEnds", "\xEF\xBB\xBF[Defaults]\r\nStart Dir=d:\\\r\n\r\n", "d:\\"},
    {"BinaryGarbage", "\0\xff[\x01=\n[Defaults\n=x\n\xfe\xfe"s, "c:\\"},
};

TEST(IniProfile, ReadsAsTheProfileFunctionsDo) {
    TempDir dir;
    auto profile = MakeSystemLegacyProfile();
    for (const auto& [name, file, expected, bufferSize] : kIniCases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(profile->privateProfileString("Defaults", "Start Dir", "c:\\  ", bufferSize,
                                                dir.write("Vantrel.Ini", file)),
                  expected);
    }
}

TEST(IniProfile, GivesTheDefaultWhenTheFileIsMissingOrADirectory) {
    auto profile = MakeSystemLegacyProfile();
    TempDir dir;
    for (const auto& file : {dir.file("Missing.Ini"), dir.path().string()}) {
        EXPECT_EQ(profile->privateProfileString("Defaults", "Start Dir", "0", 255, file), "0");
    }
}

}  // namespace
}  // namespace vantrel::testing
