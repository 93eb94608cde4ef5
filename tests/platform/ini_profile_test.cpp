#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/backends.h"
#include "settings/scratch_directory.h"

namespace vantrel {
namespace {

using testing::ScratchDirectory;

class IniProfileFile : public ::testing::Test {
  protected:
    std::string Read(const std::string& section, const std::string& key,
                     const std::string& defaultValue = "default", std::size_t bufferSize = 255) {
        return profile->privateProfileString(section, key, defaultValue, bufferSize, file);
    }
    void Write(const std::string& bytes) { file = dir.write("Vantrel.Ini", bytes); }

    std::unique_ptr<LegacyProfile> profile = MakeSystemLegacyProfile();
    ScratchDirectory dir;
    std::string file = (dir.path() / "Vantrel.Ini").string();
};

TEST_F(IniProfileFile, TheLegacyFileLivesInEtc) {
    EXPECT_EQ(profile->windowsDirectory(), "/etc");
}

TEST_F(IniProfileFile, ReadsAValueOfTheNamedSection) {
    Write("[Defaults]\nStart Dir=c:\\in\\\n[Mask]\nMask String=*.prn *.txt\nMask Index=2\n");
    EXPECT_EQ(Read("Defaults", "Start Dir"), "c:\\in\\");
    EXPECT_EQ(Read("Mask", "Mask String"), "*.prn *.txt");
    EXPECT_EQ(Read("Mask", "Mask Index"), "2");
    EXPECT_EQ(Read("Defaults", "Mask Index"), "default");
}

TEST_F(IniProfileFile, NamesMatchWhateverTheirLetterCase) {
    Write("[DEFAULTS]\nstart dir=/var/spool\n[mask]\nMASK INDEX=3\n");
    EXPECT_EQ(Read("Defaults", "Start Dir"), "/var/spool");
    EXPECT_EQ(Read("Mask", "Mask Index"), "3");
}

TEST_F(IniProfileFile, BlanksAroundNamesAndValuesDoNotCount) {
    Write("  [ Defaults ]  \n\t Copy Dir \t=  /tmp/done/  \n");
    EXPECT_EQ(Read("Defaults", "Copy Dir"), "/tmp/done/");
}

TEST_F(IniProfileFile, RestOfTheLineIsTheValue) {
    Write("[Mask]\nMask String=*.a   *.b ; c=d");  // no line end after the last line
    EXPECT_EQ(Read("Mask", "Mask String"), "*.a   *.b ; c=d");
}

TEST_F(IniProfileFile, EnclosingQuotesAreDropped) {
    Write("[Defaults]\nStart Dir=\"  c:\\quoted \"\nCopy Dir='single'\nPrint Method=\"Move\n");
    EXPECT_EQ(Read("Defaults", "Start Dir"), "  c:\\quoted ");
    EXPECT_EQ(Read("Defaults", "Copy Dir"), "single");
    EXPECT_EQ(Read("Defaults", "Print Method"), "\"Move");
}

TEST_F(IniProfileFile, MissingKeySectionOrFileGivesTheDefault) {
    Write("[Defaults]\nAuto On=1\n");
    EXPECT_EQ(Read("Defaults", "Page Eject", "0"), "0");
    EXPECT_EQ(Read("Placement", "Top", "1440"), "1440");
    EXPECT_EQ(Read("Placement", "Left", "720  "), "720");  // trailing blanks of a default go
    file = (dir.path() / "Missing.Ini").string();
    EXPECT_EQ(Read("Defaults", "Auto On", "0"), "0");
    file = dir.string();
    EXPECT_EQ(Read("Defaults", "Auto On", "0"), "0");
}

TEST_F(IniProfileFile, EmptyValueIsEmptyNotTheDefault) {
    Write("[Defaults]\nStart Dir=\nCopy Dir=   \n");
    EXPECT_EQ(Read("Defaults", "Start Dir"), "");
    EXPECT_EQ(Read("Defaults", "Copy Dir"), "");
}

TEST_F(IniProfileFile, ValueIsCutToTheBuffer) {
    const std::string value(300, 'v');
    Write("[Defaults]\nStart Dir=" + value + "\n");
    EXPECT_EQ(Read("Defaults", "Start Dir"), value.substr(0, 254));
    EXPECT_EQ(Read("Defaults", "Start Dir", "d", 10), value.substr(0, 9));
    EXPECT_EQ(Read("Defaults", "Missing", "0123456789", 5), "0123");
}

TEST_F(IniProfileFile, FirstOccurrenceWins) {
    Write("[Defaults]\nAuto On=1\nauto on=2\n[Defaults]\nAuto On=3\nPage Eject=1\n");
    EXPECT_EQ(Read("Defaults", "Auto On"), "1");
    // Only the first section of a name is searched.
    EXPECT_EQ(Read("Defaults", "Page Eject", "0"), "0");
}

TEST_F(IniProfileFile, CommentsAndStrayLinesAreSkipped) {
    Write("Top=5\n; [Placement]\n[Placement]\n;Top=1\nnot a key\n  ; Left=2\nTop=3\n");
    EXPECT_EQ(Read("Placement", "Top"), "3");
    EXPECT_EQ(Read("Placement", "Left", "none"), "none");
}

TEST_F(IniProfileFile, ReadsWindowsLineEnds) {
    Write(
        "\xEF\xBB\xBF[Defaults]\r\nStart Dir=c:\\\r\nPrint Method=Delete\r\n\r\n[Mask]\r\n"
        "Mask Index=1\r\n");
    EXPECT_EQ(Read("Defaults", "Start Dir"), "c:\\");
    EXPECT_EQ(Read("Defaults", "Print Method"), "Delete");
    EXPECT_EQ(Read("Mask", "Mask Index"), "1");
}

TEST_F(IniProfileFile, BinaryGarbageGivesTheDefault) {
    const char garbage[] = "\0\xff[\x01=\n[Defaults\n=x\n\xfe\xfe";
    Write(std::string(garbage, sizeof garbage - 1));
    EXPECT_EQ(Read("Defaults", "Start Dir", "c:\\"), "c:\\");
}

}  // namespace
}  // namespace vantrel
