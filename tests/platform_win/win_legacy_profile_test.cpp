// The legacy INI file through the real GetWindowsDirectoryA and GetPrivateProfileStringA, and the
// migration that reads it.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "fakes/fake_settings_store.h"
#include "platform/backends.h"
#include "settings/settings_routines.h"
#include "support/temp_dir.h"

namespace vantrel::testing {
namespace {

namespace fs = std::filesystem;

const std::string kLong(300, 'L');
const std::string kLegacyFile =
    "[Defaults]\r\nStart Dir=D:\\Data\\\r\nEmpty=\r\nLong=" + kLong + "\r\n";

TEST(LegacyProfile, ReadsAsTheProfileFunctionDoes) {
    TempDir dir;
    const std::string ini = dir.write("Legacy.Ini", kLegacyFile);
    auto profile = MakeSystemLegacyProfile();
    // Key and buffer size; what the profile function gives, the default being "dflt".
    using Read = std::tuple<const char*, std::size_t, std::string>;
    for (const auto& [key, size, expected] :
         {Read{"Start Dir", 255, "D:\\Data\\"}, Read{"Copy Dir", 255, "dflt"},
          Read{"Empty", 255, ""}, Read{"Long", 255, kLong.substr(0, 254)},
          Read{"Long", 10, kLong.substr(0, 9)}}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(profile->privateProfileString("Defaults", key, "dflt", size, ini), expected);
    }
}

// The migration reads Vantrel.Ini in the Windows directory, where only administrators may
// write; the test puts one there when it can.
TEST(LegacyProfile, MigrationReadsTheFileInTheWindowsDirectory) {
    auto profile = MakeSystemLegacyProfile();
    const std::string windows = profile->windowsDirectory();
    EXPECT_TRUE(fs::is_directory(fs::path(windows) / "system32")) << windows;
    EXPECT_NE(windows.back(), '\\');
    const fs::path legacy = fs::path(windows) / "Vantrel.Ini";
    if (fs::exists(legacy)) GTEST_SKIP() << legacy.string() << " exists already";
    TempDir dir;
    std::error_code error;
    fs::copy_file(dir.write("Vantrel.Ini", kLegacyFile), legacy, error);
    if (error) GTEST_SKIP() << "cannot write " << legacy.string() << ": " << error.message();
    FakeSettingsStore store;
    PlainMainWindowSettings window;
    MigrateIniSettings(store, *profile, window);
    fs::remove(legacy, error);
    EXPECT_EQ(store.get("Defaults", "StartDir"), "D:\\Data\\");
    EXPECT_EQ(store.get("Defaults", "CopyDir"), "c:\\temp\\");  // missing: the default
}

}  // namespace
}  // namespace vantrel::testing
