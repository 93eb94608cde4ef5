// The legacy INI file read on POSIX as the Windows profile functions read it.
#include <gtest/gtest.h>

#include <string>

#include "platform/backends.h"
#include "support/temp_dir.h"

namespace vantrel::testing {
namespace {

using namespace std::string_literals;

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
