// The Windows backends on the real Windows functions: the registry, the registry settings store
// of builds without Qt, and the legacy INI file. The registry values are written by the test
// itself, with exactly the types and bytes each case needs, under a key of its own that is
// deleted with everything in it afterwards.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "platform/backends.h"
#include "platform/file_system.h"
#include "platform/system_places.h"
#include "platform/win/registry_settings_store.h"
#include "platform/win/win_registry.h"
#include "support/temp_dir.h"
#include "text/runtime_text.h"

namespace vantrel::testing {
namespace {

using namespace std::string_literals;

class RegistryTest : public ::testing::Test {
  protected:
    ~RegistryTest() override { RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str()); }
    void Set(const std::string& subKey, const char* value, DWORD type, const std::string& bytes) {
        ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, (path + subKey).c_str(), value, type,
                                  bytes.data(), static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
    }

    const std::string path = "Software\\Vantrel Test " + std::to_string(GetCurrentProcessId());
    std::unique_ptr<Registry> registry = MakeWindowsRegistry();
};

// The store writes strings the registry functions read back with their type and NUL, as far as
// they fit the buffer; it reads what others stored.
TEST_F(RegistryTest, StoreKeepsStringValuesInASubkeyPerSection) {
    auto store = MakeRegistrySettingsStore(path);
    store->set("Placement", "Top", "1234.5");
    store->set("Defaults", "CopyDir", "");
    EXPECT_NO_THROW(store->sync());
    const std::string placement = path + "\\Placement";
    auto raw = registry->queryValue(RegistryRoot::CurrentUser, placement, "Top", 7);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->type, kRegSz);
    EXPECT_EQ(raw->bytes, "1234.5\0"s);
    EXPECT_FALSE(registry->queryValue(RegistryRoot::CurrentUser, placement, "Top", 6));
    EXPECT_FALSE(registry->queryValue(RegistryRoot::CurrentUser, placement, "Left", 99));
    // Numbers that others stored read as decimal text; values of other types count as absent.
    Set("\\Defaults", "PageEject", REG_DWORD, "\x01\0\0\0"s);
    Set("\\Defaults", "Odd", REG_BINARY, "\x01\x02");
    raw = registry->queryValue(RegistryRoot::CurrentUser, path + "\\Defaults", "PageEject", 4);
    EXPECT_EQ(raw.value_or(RegistryValue{}).type, kRegDword);
    store = MakeRegistrySettingsStore(path);
    EXPECT_EQ(store->get("Placement", "Top"), "1234.5");
    EXPECT_EQ(store->get("Defaults", "CopyDir"), "");
    EXPECT_EQ(store->get("Defaults", "PageEject"), "1");
    EXPECT_EQ(store->get("Defaults", "Odd"), std::nullopt);
    // Read access only: standard users may not write there.
    EXPECT_TRUE(registry->queryValue(RegistryRoot::LocalMachine,
                                     "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                                     "CurrentVersion", 1024));
}

TEST_F(RegistryTest, StoreReportsAFailedWriteAtTheSync) {
    // A volatile key takes no lasting subkey, so the section's key cannot be made.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    auto store = MakeRegistrySettingsStore(path);
    store->set("Defaults", "StartDir", "D:\\");
    EXPECT_THROW(store->sync(), SettingsError);
}

// Moves and copies never replace a file, and a folder is told by any of its names.
TEST(WinFileSystem, MovesAndCopiesNeverReplaceAndFoldersAreToldApart) {
    TempDir dir;
    auto files = MakeSystemFileSystem();
    const std::string a = dir.write("a", "A"), taken = dir.write("taken", "T"),
                      sub = dir.file("sub");
    EXPECT_FALSE(files->makeDirectory(sub) || files->makeDirectory(sub) ||
                 files->copyWithoutReplacing(a, sub + "\\copy"));
    for (const auto& error : {files->moveWithoutReplacing(a, taken),
                              files->copyWithoutReplacing(a, taken), files->makeDirectory(taken)}) {
        EXPECT_EQ(error, std::errc::file_exists) << error.message();
    }
    EXPECT_EQ(ReadFile(taken) + ReadFile(sub + "\\copy"), "TA");
    EXPECT_EQ(files->kindOf(sub + "\\"), PathKind::Directory);
    EXPECT_TRUE(files->sameDirectory(sub, sub + "\\..\\sub") && !files->isSymbolicLink(sub));
}

TEST(LegacyProfile, ReadsAsTheProfileFunctionDoesFromTheWindowsDirectory) {
    auto profile = MakeSystemLegacyProfile();
    const std::string windows = profile->windowsDirectory();
    EXPECT_TRUE(std::filesystem::is_directory(windows + "\\system32")) << windows;
    TempDir dir;
    const std::string longValue(300, 'L');
    const std::string ini = dir.write(
        "Legacy.Ini", "[Defaults]\r\nStart Dir=D:\\Data\\\r\nEmpty=\r\nLong=" + longValue +
                          "\r\nAnsi=C:\\Jos\xE9\\\r\nUtf8=C:\\Jos\xC3\xA9\\");
    // Key and buffer size; what the profile function gives, the default being "dflt".
    using Read = std::tuple<const char*, std::size_t, std::string>;
    for (const auto& [key, size, expected] :
         {Read{"Start Dir", 255, "D:\\Data\\"}, Read{"Copy Dir", 255, "dflt"},
          Read{"Empty", 255, ""}, Read{"Long", 255, longValue.substr(0, 254)},
          Read{"Long", 10, longValue.substr(0, 9)}, Read{"Ansi", 255, "C:\\Jos\xC3\xA9\\"},
          Read{"Utf8", 255, "C:\\Jos\xC3\xA9\\"}}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(profile->privateProfileString("Defaults", key, "dflt", size, ini), expected);
    }
}

// An installed copy (among the programs) keeps its drop directory per user; a copy unpacked
// anywhere else keeps it beside itself.
TEST(SystemPlaces, OnlyAProgramAmongTheProgramsIsInstalled) {
    const std::string programs = std::getenv("ProgramFiles");
    const std::string name = "Vantrel Test " + std::to_string(GetCurrentProcessId());
    const TempDir portable;
    const struct {
        std::string path;
        bool installed;
    } cases[] = {{programs + "\\" + name, true},
                 {UCase(programs) + "\\" + UCase(name) + "\\", true},
                 {portable.path().string(), false},
                 {programs + " " + name, false}};
    for (const auto& c : cases) {
        std::filesystem::create_directories(c.path);
        EXPECT_EQ(IsSystemProgramDirectory(c.path), c.installed) << c.path;
        std::filesystem::remove(c.path);
    }
    EXPECT_EQ(UserDataDirectory(), UserStateDirectory());
}

}  // namespace
}  // namespace vantrel::testing
