// GetKeyValue over the real registry functions: the values are written into the registry by the
// test itself, with exactly the types and sizes each case needs.

#include "platform/win/win_registry.h"

#include <gtest/gtest.h>

#include <memory>

#include "about/get_key_value.h"
#include "platform_win/registry_test_key.h"

namespace vantrel::testing {
namespace {

constexpr std::uint32_t kRegBinary = 3;

class RegistryTest : public ::testing::Test {
  protected:
    RegistryTest() : key("GetKeyValue") {}

    bool Get(const std::string& value) {
        return GetKeyValue(*registry, RegistryRoot::CurrentUser, key.path(), value, text);
    }

    RegistryTestKey key;
    std::unique_ptr<Registry> registry = MakeWindowsRegistry();
    std::string text = "as passed in";
};

TEST_F(RegistryTest, StringWithItsNulGivesTheTextWithoutIt) {
    const std::string path = "C:\\Program Files\\Common Files\\msinfo32.exe";
    ASSERT_TRUE(key.set("PATH", kRegSz, path + '\0'));
    auto raw = registry->queryValue(RegistryRoot::CurrentUser, key.path(), "PATH", 1024);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->type, kRegSz);
    EXPECT_EQ(raw->bytes, path + '\0');

    EXPECT_TRUE(Get("PATH"));
    EXPECT_EQ(text, path);
}

TEST_F(RegistryTest, StringWithoutNulGivesAllItsCharacters) {
    ASSERT_TRUE(key.set("MSINFO", kRegSz, "C:\\Tools"));
    auto raw = registry->queryValue(RegistryRoot::CurrentUser, key.path(), "MSINFO", 1024);
    ASSERT_TRUE(raw);
    // The ANSI query may add the NUL the value lacks (Wine does); the text is the same.
    EXPECT_TRUE(raw->bytes == "C:\\Tools" || raw->bytes == std::string("C:\\Tools\0", 9))
        << raw->bytes.size() << " bytes";

    EXPECT_TRUE(Get("MSINFO"));
    EXPECT_EQ(text, "C:\\Tools");
}

TEST_F(RegistryTest, DwordGivesItsBytesInHexadecimal) {
    ASSERT_TRUE(key.set("Full", kRegDword, DwordBytes(0x12345678)));
    ASSERT_TRUE(key.set("HighZero", kRegDword, DwordBytes(0x00012345)));
    ASSERT_TRUE(key.set("Small", kRegDword, DwordBytes(0x0000000A)));
    auto raw = registry->queryValue(RegistryRoot::CurrentUser, key.path(), "Full", 1024);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->type, kRegDword);
    EXPECT_EQ(raw->bytes, DwordBytes(0x12345678));

    EXPECT_TRUE(Get("Full"));
    EXPECT_EQ(text, "&h12345678");
    // A most significant byte of zero is dropped, as a string's NUL would be.
    EXPECT_TRUE(Get("HighZero"));
    EXPECT_EQ(text, "&h012345");
    EXPECT_TRUE(Get("Small"));
    EXPECT_EQ(text, "&h00000A");
}

TEST_F(RegistryTest, OtherTypeLeavesTheTextAsItWas) {
    ASSERT_TRUE(key.set("Binary", kRegBinary, std::string("\x01\x02\x03", 3)));
    EXPECT_TRUE(Get("Binary"));
    EXPECT_EQ(text, "as passed in");
}

TEST_F(RegistryTest, MissingKeyOrValueIsFalseWithEmptyText) {
    ASSERT_TRUE(key.set("PATH", kRegSz, std::string("x\0", 2)));
    EXPECT_FALSE(
        GetKeyValue(*registry, RegistryRoot::CurrentUser, key.path() + "\\Missing", "PATH", text));
    EXPECT_EQ(text, "");

    text = "as passed in";
    EXPECT_FALSE(Get("Missing"));
    EXPECT_EQ(text, "");
}

TEST_F(RegistryTest, ValueLargerThanTheBufferIsFalse) {
    ASSERT_TRUE(key.set("Fits", kRegBinary, std::string(1024, 'x')));
    ASSERT_TRUE(key.set("TooLarge", kRegSz, std::string(1024, 'x') + '\0'));
    EXPECT_TRUE(Get("Fits"));
    EXPECT_FALSE(Get("TooLarge"));
    EXPECT_EQ(text, "");
}

TEST_F(RegistryTest, ValueOfNoBytesIsAnError) {
    ASSERT_TRUE(key.set("Nothing", kRegBinary, ""));
    EXPECT_THROW(Get("Nothing"), RegistryValueError);
}

TEST_F(RegistryTest, LocalMachineIsReadWithoutWriteAccess) {
    std::string version;
    EXPECT_TRUE(GetKeyValue(*registry, RegistryRoot::LocalMachine,
                            "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion",
                            version));
    EXPECT_FALSE(version.empty());
}

}  // namespace
}  // namespace vantrel::testing
