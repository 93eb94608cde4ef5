// The settings store of builds without Qt, in the registry where QSettings keeps the same values.

#include "platform/win/registry_settings_store.h"

#include <gtest/gtest.h>

#include "platform/win/win_registry.h"
#include "platform_win/registry_test_key.h"
#include "settings/main_window_settings.h"
#include "settings/settings_routines.h"

namespace vantrel::testing {
namespace {

class RegistryStoreTest : public ::testing::Test {
  protected:
    RegistryStoreTest() : key("Store") {}

    RegistryTestKey key;
    std::unique_ptr<SettingsStore> store = MakeRegistrySettingsStore(key.path());
};

TEST(RegistryStoreKey, IsWhereQSettingsKeepsTheApplicationsSettings) {
    EXPECT_EQ(kVantrelSettingsKey, "Software\\Vantrel\\Vantrel");
}

TEST_F(RegistryStoreTest, ValuesReadBackAsWritten) {
    EXPECT_EQ(store->get("Defaults", "StartDir"), std::nullopt);
    store->set("Defaults", "StartDir", "D:\\Labels\\");
    store->set("Defaults", "CopyDir", "");
    store->set("Mask", "MaskString", "*.prn *.txt");
    EXPECT_NO_THROW(store->sync());
    EXPECT_EQ(store->get("Defaults", "StartDir"), "D:\\Labels\\");
    EXPECT_EQ(store->get("Defaults", "CopyDir"), "");  // empty text is a value
    EXPECT_EQ(store->get("Mask", "MaskString"), "*.prn *.txt");
    EXPECT_EQ(store->get("Mask", "StartDir"), std::nullopt);

    store->set("Defaults", "StartDir", "E:\\");
    EXPECT_EQ(store->get("Defaults", "StartDir"), "E:\\");

    // A fresh store sees the same values: they are in the registry.
    EXPECT_EQ(MakeRegistrySettingsStore(key.path())->get("Defaults", "StartDir"), "E:\\");
}

TEST_F(RegistryStoreTest, SectionsAreSubkeysAndValuesStrings) {
    store->set("Placement", "Top", "1234.5");
    auto raw = MakeWindowsRegistry()->queryValue(RegistryRoot::CurrentUser,
                                                 key.path() + "\\Placement", "Top", 1024);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->type, kRegSz);
    EXPECT_EQ(raw->bytes, std::string("1234.5\0", 7));
}

TEST_F(RegistryStoreTest, NumbersStoredByOthersReadAsDecimalText) {
    ASSERT_TRUE(key.set("PageEject", kRegDword, DwordBytes(1), "Defaults"));
    ASSERT_TRUE(key.set("Odd", 3, "\x01\x02", "Defaults"));
    EXPECT_EQ(store->get("Defaults", "PageEject"), "1");
    EXPECT_EQ(store->get("Defaults", "Odd"), std::nullopt);
}

TEST_F(RegistryStoreTest, SettingsSurviveASaveAndALoad) {
    PlainLiveSettings live;
    PlainMainWindowSettings window;
    live.setStartDir("D:\\Labels\\");
    live.setCopyDir("D:\\Printed\\");
    live.setPageEject(1);
    live.setPrintMethodIndex(2);
    window.setCopiesText("3");
    window.addMask("*.prn");
    window.addMask("*.lbl");
    window.setMaskIndex(1);
    window.moveTo(300, 600);
    SaveSettings(*store, live, window);

    PlainLiveSettings liveAgain;
    PlainMainWindowSettings windowAgain;
    LoadSettings(*MakeRegistrySettingsStore(key.path()), liveAgain, windowAgain);
    EXPECT_EQ(liveAgain.startDir(), "D:\\Labels\\");
    EXPECT_EQ(liveAgain.copyDir(), "D:\\Printed\\");
    EXPECT_EQ(liveAgain.pageEject(), 1);
    EXPECT_EQ(liveAgain.printMethodIndex(), 2);
    EXPECT_EQ(windowAgain.copiesText(), "3");
    EXPECT_EQ(windowAgain.masks(), (std::vector<std::string>{"*.prn", "*.lbl"}));
    EXPECT_EQ(windowAgain.maskIndex(), 1);
    EXPECT_EQ(windowAgain.geometry().top, 300);
    EXPECT_EQ(windowAgain.geometry().left, 600);
}

}  // namespace
}  // namespace vantrel::testing
