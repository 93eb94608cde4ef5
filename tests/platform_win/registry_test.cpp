// GetKeyValue over the real registry functions, and the registry settings store of builds
// without Qt. The values are written by the test itself, with exactly the types and bytes each
// case needs, under a key of its own that is deleted with everything in it afterwards.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <tuple>

#include "about/get_key_value.h"
#include "platform/win/registry_settings_store.h"
#include "platform/win/win_registry.h"

namespace vantrel::testing {
namespace {

using namespace std::string_literals;

class RegistryTest : public ::testing::Test {
  protected:
    ~RegistryTest() override { RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str()); }
    bool Set(const std::string& subKey, const char* value, DWORD type, const std::string& bytes) {
        return RegSetKeyValueA(HKEY_CURRENT_USER, (path + subKey).c_str(), value, type,
                               bytes.data(), static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
    }

    const std::string path = "Software\\Vantrel Test " + std::to_string(GetCurrentProcessId());
    std::unique_ptr<Registry> registry = MakeWindowsRegistry();
};

// A DWORD's bytes as the registry keeps them, least significant first.
std::string Dword(std::uint32_t value) {
    return std::string(reinterpret_cast<const char*>(&value), 4);
}

// A value's name, type and bytes (none for REG_NONE), and what GetKeyValue gives for it:
// whether it was read, and the text, which starts as "as passed in".
using ValueCase = std::tuple<const char*, DWORD, std::string, bool, std::string>;
const ValueCase kValueCases[] = {
    {"String", REG_SZ, "C:\\Tools\0"s, true, "C:\\Tools"},
    {"Dword", REG_DWORD, Dword(0x12345678), true, "&h12345678"},
    {"DwordHighByteZero", REG_DWORD, Dword(0x00012345), true, "&h012345"},
    {"Binary", REG_BINARY, "\x01\x02\x03", true, "as passed in"},
    {"BinaryFillingTheBuffer", REG_BINARY, std::string(1024, 'x'), true, "as passed in"},
    {"StringLargerThanTheBuffer", REG_SZ, std::string(1024, 'x') + '\0', false, ""},
    {"Missing", REG_NONE, "", false, ""},
};

TEST_F(RegistryTest, GetKeyValueGivesTextsAsTheirTypesHaveThem) {
    for (const auto& [name, type, bytes, read, text] : kValueCases) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(type == REG_NONE || Set("", name, type, bytes));
        std::string value = "as passed in";
        EXPECT_EQ(GetKeyValue(*registry, RegistryRoot::CurrentUser, path, name, value), read);
        EXPECT_EQ(value, text);
    }
    std::string value;
    ASSERT_TRUE(Set("", "Nothing", REG_BINARY, ""));
    EXPECT_THROW(GetKeyValue(*registry, RegistryRoot::CurrentUser, path, "Nothing", value),
                 RegistryValueError);
    // Read access only: standard users may not write there.
    EXPECT_TRUE(GetKeyValue(*registry, RegistryRoot::LocalMachine,
                            "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion",
                            value));
}

TEST_F(RegistryTest, StoreKeepsStringValuesInASubkeyPerSection) {
    auto store = MakeRegistrySettingsStore(path);
    store->set("Placement", "Top", "1234.5");
    store->set("Defaults", "CopyDir", "");
    EXPECT_NO_THROW(store->sync());
    auto raw = registry->queryValue(RegistryRoot::CurrentUser, path + "\\Placement", "Top", 99);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->type, kRegSz);
    EXPECT_EQ(raw->bytes, "1234.5\0"s);
    // Numbers that others stored read as decimal text; values of other types count as absent.
    ASSERT_TRUE(Set("\\Defaults", "PageEject", REG_DWORD, Dword(1)));
    ASSERT_TRUE(Set("\\Defaults", "Odd", REG_BINARY, "\x01\x02"));
    store = MakeRegistrySettingsStore(path);
    EXPECT_EQ(store->get("Placement", "Top"), "1234.5");
    EXPECT_EQ(store->get("Defaults", "CopyDir"), "");
    EXPECT_EQ(store->get("Defaults", "PageEject"), "1");
    EXPECT_EQ(store->get("Defaults", "Odd"), std::nullopt);
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

}  // namespace
}  // namespace vantrel::testing
