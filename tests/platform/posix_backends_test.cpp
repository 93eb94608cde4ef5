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
    for (const auto& [name, kind, link] : {std::tuple{"a", PathKind::PlainFile, false},
                                           {"link", PathKind::PlainFile, true},
                                           {"dirlink", PathKind::Directory, true},
                                           {"fifo", PathKind::Other, false},
                                           {"gone", PathKind::Missing, false}}) {
        EXPECT_EQ(std::pair(files->kindOf(in(name)), files->isSymbolicLink(in(name))),
                  std::pair(kind, link))
            << name;
    }
    EXPECT_TRUE(files->sameDirectory(in("dir"), in("dirlink")));
    EXPECT_FALSE(files->sameDirectory(in("dir"), dir.path()) ||
                 files->sameDirectory(in("a"), in("a")));
    // What each step gives: 0 or the errno.
    const std::pair<int, std::function<std::error_code()>> kSteps[] = {
        {EEXIST, [&] { return files->copyWithoutReplacing(in("a"), in("taken")); }},
        {EEXIST, [&] { return files->moveWithoutReplacing(in("a"), in("taken")); }},
        {EEXIST, [&] { return files->copyWithoutReplacing(in("taken"), in("link")); }},
        {ENOTSUP, [&] { return files->copyWithoutReplacing(in("fifo"), in("new")); }},
        {ENOENT, [&] { return files->copyWithoutReplacing(in("gone"), in("new")); }},
        {0, [&] { return files->copyWithoutReplacing(in("a"), in("dir/copy")); }},
        {0, [&] { return files->moveWithoutReplacing(in("a"), in("moved")); }},
        {ENOENT, [&] { return files->moveWithoutReplacing(in("a"), in("new")); }},
        {0, [&] { return files->makeDirectory(in("dir")); }},
        {EEXIST, [&] { return files->makeDirectory(in("taken")); }},
        {ENOENT, [&] { return files->makeDirectory(in("gone/dir")); }},
    };
    for (const auto& [expected, step] : kSteps) {
        const std::error_code got = step();
        EXPECT_EQ(got.value(), expected) << &step - &kSteps[0].second << ": " << got.message();
    }
    EXPECT_EQ(ReadFile(in("taken")) + ReadFile(in("moved")) + ReadFile(in("dir/copy")), "TAA");
    EXPECT_EQ(fs::status(in("dir/copy")).permissions(), fs::status(in("moved")).permissions());
    std::error_code error;
    for (const auto& [path, why] : {std::pair{in("taken"), ENOTDIR}, {in("gone"), ENOENT}}) {
        EXPECT_TRUE(files->entryNames(path, error).empty());
        EXPECT_EQ(error.value(), why) << path;
    }
    EXPECT_EQ(files->entryNames(in("dir"), error), std::vector<std::string>{"copy"});
    EXPECT_FALSE(error);
    EXPECT_FALSE(fs::exists(in("new")));
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
