#include "about/get_key_value.h"

#include <gtest/gtest.h>

#include "about/fake_registry.h"

namespace vantrel {
namespace {

using testing::FakeRegistry;

constexpr RegistryRoot kRoot = RegistryRoot::LocalMachine;
const std::string kKey = "SOFTWARE\\Brenwick\\Test";
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegExpandSz = 2;

class GetKeyValueTest : public ::testing::Test {
  protected:
    // Reads the value "V" of kKey, starting from a text that shows whether it was touched.
    bool read(std::string& keyVal) { return GetKeyValue(registry, kRoot, kKey, "V", keyVal); }

    FakeRegistry registry;
};

TEST_F(GetKeyValueTest, StringStoredWithItsNulGivesTheTextWithoutIt) {
    registry.set(kRoot, kKey, "V", kRegSz, std::string("C:\\Tools\\msinfo32.exe\0", 22));
    std::string keyVal = "before";
    EXPECT_TRUE(read(keyVal));
    EXPECT_EQ(keyVal, "C:\\Tools\\msinfo32.exe");
}

TEST_F(GetKeyValueTest, StringStoredWithoutNulKeepsEveryCharacter) {
    registry.set(kRoot, kKey, "V", kRegSz, "C:\\Tools");
    std::string keyVal;
    EXPECT_TRUE(read(keyVal));
    EXPECT_EQ(keyVal, "C:\\Tools");
}

TEST_F(GetKeyValueTest, OnlyTheLastByteIsDroppedWhenItIsNul) {
    registry.set(kRoot, kKey, "V", kRegSz, std::string("ab\0cd\0\0", 7));
    std::string keyVal;
    EXPECT_TRUE(read(keyVal));
    EXPECT_EQ(keyVal, std::string("ab\0cd\0", 6));
}

TEST_F(GetKeyValueTest, DwordIsHexMostSignificantByteFirstInUpperCase) {
    registry.set(kRoot, kKey, "V", kRegDword, "\x05\x01\xA0\x3C");
    std::string keyVal;
    EXPECT_TRUE(read(keyVal));
    EXPECT_EQ(keyVal, "&h3CA00105");
}

TEST_F(GetKeyValueTest, DwordLosesItsZeroMostSignificantByteOnly) {
    // 42 is stored little-endian as 2A 00 00 00; the trailing zero byte goes like a string's NUL.
    registry.set(kRoot, kKey, "V", kRegDword, std::string("\x2A\0\0\0", 4));
    std::string keyVal;
    EXPECT_TRUE(read(keyVal));
    EXPECT_EQ(keyVal, "&h00002A");
}

TEST_F(GetKeyValueTest, OtherTypesLeaveTheTextAsItWasAndSucceed) {
    for (std::uint32_t type : {kRegBinary, kRegExpandSz}) {
        registry.set(kRoot, kKey, "V", type, "%SystemRoot%\\x");
        std::string keyVal = "before";
        EXPECT_TRUE(read(keyVal)) << type;
        EXPECT_EQ(keyVal, "before") << type;
    }
}

TEST_F(GetKeyValueTest, MissingKeyOrValueFailsWithEmptyText) {
    registry.set(kRoot, kKey, "Other", kRegSz, "x");
    std::string keyVal = "before";
    EXPECT_FALSE(read(keyVal));
    EXPECT_EQ(keyVal, "");

    keyVal = "before";
    EXPECT_FALSE(GetKeyValue(registry, RegistryRoot::CurrentUser, kKey, "Other", keyVal));
    EXPECT_EQ(keyVal, "");
}

TEST_F(GetKeyValueTest, ReadsThroughA1024ByteBuffer) {
    registry.set(kRoot, kKey, "V", kRegSz, std::string(1024, 'a'));
    std::string keyVal;
    EXPECT_TRUE(read(keyVal));
    EXPECT_EQ(keyVal.size(), 1024u);
    ASSERT_EQ(registry.queries.size(), 1u);
    EXPECT_EQ(registry.queries[0].bufferSize, 1024u);
    EXPECT_EQ(registry.queries[0].keyName, kKey);
    EXPECT_EQ(registry.queries[0].valueName, "V");
}

TEST_F(GetKeyValueTest, ValueLargerThanTheBufferFailsWithEmptyText) {
    registry.set(kRoot, kKey, "V", kRegSz, std::string(1025, 'a'));
    std::string keyVal = "before";
    EXPECT_FALSE(read(keyVal));
    EXPECT_EQ(keyVal, "");
}

TEST_F(GetKeyValueTest, ZeroByteValueRaisesAnError) {
    for (std::uint32_t type : {kRegSz, kRegDword, kRegBinary}) {
        registry.set(kRoot, kKey, "V", type, "");
        std::string keyVal;
        EXPECT_THROW(read(keyVal), RegistryValueError) << type;
    }
}

}  // namespace
}  // namespace vantrel
