// The legacy INI file through the real GetWindowsDirectoryA and GetPrivateProfileStringA, and the
// migration that reads it.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <memory>

#include "fakes/fake_settings_store.h"
#include "platform/backends.h"
#include "settings/main_window_settings.h"
#include "settings/settings_routines.h"
#include "support/temp_dir.h"

namespace vantrel::testing {
namespace {

namespace fs = std::filesystem;

const std::string kLongValue = [] {
    std::string value;
    for (int i = 0; i < 300; ++i) value += static_cast<char>('A' + i % 26);
    return value;
}();

class LegacyProfileTest : public ::testing::Test {
  protected:
    LegacyProfileTest() {
        ini = dir.write("Legacy.Ini",
                        "[Defaults]\r\n"
                        "Start Dir=D:\\Data\\\r\n"
                        "Empty=\r\n"
                        "Long=" +
                            kLongValue +
                            "\r\n"
                            "  Padded Key  =  padded value  \r\n"
                            "[Mask]\r\n"
                            "Mask String=*.prn *.txt\r\n");
    }

    std::string Read(const std::string& section, const std::string& key,
                     const std::string& defaultValue = "fallback", std::size_t size = 255) {
        return profile->privateProfileString(section, key, defaultValue, size, ini);
    }

    TempDir dir;
    std::string ini;
    std::unique_ptr<LegacyProfile> profile = MakeSystemLegacyProfile();
};

TEST_F(LegacyProfileTest, WindowsDirectoryIsTheSystemsOwn) {
    const std::string windows = profile->windowsDirectory();
    ASSERT_FALSE(windows.empty());
    EXPECT_NE(windows.back(), '\\');
    EXPECT_TRUE(fs::is_directory(windows)) << windows;
    EXPECT_TRUE(fs::is_directory(fs::path(windows) / "system32")) << windows;
}

TEST_F(LegacyProfileTest, ValuesAsTheProfileFunctionGivesThem) {
    EXPECT_EQ(Read("Defaults", "Start Dir"), "D:\\Data\\");
    EXPECT_EQ(Read("defaults", "START DIR"), "D:\\Data\\");  // names ignore letter case
    EXPECT_EQ(Read("Defaults", "Padded Key"), "padded value");
    EXPECT_EQ(Read("Mask", "Mask String"), "*.prn *.txt");
}

TEST_F(LegacyProfileTest, MissingKeySectionOrFileGivesTheDefault) {
    EXPECT_EQ(Read("Defaults", "Copy Dir"), "fallback");
    EXPECT_EQ(Read("Placement", "Top"), "fallback");
    EXPECT_EQ(profile->privateProfileString("Defaults", "Start Dir", "fallback", 255,
                                            dir.file("Missing.Ini")),
              "fallback");
}

TEST_F(LegacyProfileTest, EmptyValueIsEmptyAndReadsAsTheDefault) {
    EXPECT_EQ(Read("Defaults", "Empty"), "");
    IniLocation location{ini, "Defaults"};
    EXPECT_EQ(ReadIniString(*profile, location, "Empty", "c:\\"), "c:\\");
    EXPECT_EQ(ReadIniString(*profile, location, "Missing", "c:\\"), "c:\\");
    EXPECT_EQ(ReadIniString(*profile, location, "Start Dir", "c:\\"), "D:\\Data\\");
}

TEST_F(LegacyProfileTest, LongValueIsCutToTheBuffer) {
    EXPECT_EQ(Read("Defaults", "Long"), kLongValue.substr(0, 254));
    EXPECT_EQ(Read("Defaults", "Long", "", 10), kLongValue.substr(0, 9));
    IniLocation location{ini, "Defaults"};
    EXPECT_EQ(ReadIniString(*profile, location, "Long", "x"), kLongValue.substr(0, 254));
}

// The migration reads Vantrel.Ini in the Windows directory, where only administrators may
// write; the test puts one there when it can.
TEST_F(LegacyProfileTest, MigrationReadsTheFileInTheWindowsDirectory) {
    const fs::path legacy = fs::path(profile->windowsDirectory()) / "Vantrel.Ini";
    if (fs::exists(legacy)) GTEST_SKIP() << legacy.string() << " exists already";
    std::error_code error;
    fs::copy_file(ini, legacy, error);
    if (error) GTEST_SKIP() << "cannot write " << legacy.string() << ": " << error.message();
    struct Cleanup {
        fs::path path;
        ~Cleanup() {
            std::error_code ignored;
            fs::remove(path, ignored);
        }
    } cleanup{legacy};

    FakeSettingsStore store;
    PlainMainWindowSettings window;
    MigrateIniSettings(store, *profile, window);
    EXPECT_EQ(store.get("Defaults", "StartDir"), "D:\\Data\\");
    EXPECT_EQ(store.get("Defaults", "CopyDir"), "c:\\temp\\");  // missing: the default
    EXPECT_EQ(store.get("Mask", "MaskString"), "*.prn *.txt");
    EXPECT_EQ(store.get("Mask", "MaskIndex"), "1");
    EXPECT_TRUE(fs::exists(legacy));  // only read
}

}  // namespace
}  // namespace vantrel::testing
