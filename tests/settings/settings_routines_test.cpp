// Loading, saving and migrating the settings, on a store and a legacy profile in memory.
#include <gmock/gmock.h>

#include <filesystem>
#include <string>
#include <utility>

#include "fakes/fake_legacy_profile.h"
#include "platform/path_separator.h"
#include "platform/system_places.h"
#include "settings/settings_rig.h"
#include "support/temp_dir.h"
#include "text/runtime_text.h"

namespace vantrel::testing {
namespace {

using ::testing::Matcher;

class SettingsTest : public ::testing::Test {
  protected:
    void Store(const std::string& lines) {
        store.values.clear();
        SetLines(lines,
                 [this](auto section, auto key, auto value) { store.set(section, key, value); });
    }
    // Migrates a legacy file whose values, as "Section/Key=value" lines, the profile gives.
    std::string Migrated(const std::string& legacyLines) {
        dir.write("Vantrel.Ini", "");
        SetLines(legacyLines, [this](auto section, auto key, auto value) {
            profile.values[{iniPath, section, key}] = value;
        });
        MigrateIniSettings(store, profile, room);
        return Described(store);
    }

    FakeSettingsStore store;
    WindowRoom room = TestRoom();
    TempDir dir;
    std::string iniPath = dir.path().string() + kPathSeparator + "Vantrel.Ini";
    FakeLegacyProfile profile;

    void SetUp() override { profile.directory = dir.path().string(); }
};

const std::string kMasks = "Mask/MaskString=*.a *.b *.c\nMask/MaskIndex=";
const std::string kTop = "Placement/Top=";

// Stored values, as "Section/Key=value" lines, and a part of the settings loaded from them.
const std::pair<std::string, std::string> kLoadCases[] = {
    {"", "start=" + DefaultStartDirectory() + " copy=" + DefaultCopyDirectory() +
             " auto=1 eject=0 method=0 copies=1 masks=*.txt|*.bat|*.ini|*.* index=0 "
             "top=3427.5 left=4027.5"},
    // AutoPrint ran whatever the box said until a save of this release: it keeps running.
    {"Defaults/AutoPrint=0\nDefaults/PageEject= 2 \nDefaults/PrintMethod=Delete",
     "auto=1 eject=2 method=1"},
    {"Defaults/AutoPrint=0\nDefaults/AutoPrintSet=1", "auto=0"},
    {"Defaults/AutoPrint=3\nDefaults/AutoPrintSet=1\nDefaults/PageEject=-1\nDefaults/"
     "PrintMethod=delete",
     "auto=0 eject=0 method=0"},
    {"Defaults/AutoPrint=1x\nDefaults/AutoPrintSet=1\nDefaults/PageEject=1.5\nDefaults/"
     "PrintMethod=Move ",
     "auto=0 eject=0 method=0"},
    {"Mask/MaskString=  *.p *.t   *.?  ", "masks=*.p|*.t|*.?"},
    {"Mask/MaskString=  \nMask/MaskIndex=0", "masks= index=-1"},
    {kMasks + "2", "index=2"},
    {kMasks + "3", "index=-1"},
    {kMasks + "-2", "index=-1"},
    {kMasks + "1x", "index=0"},
    {kTop + "0\nPlacement/Left=600", "top=3427.5 left=600"},
    {kTop + "480\nPlacement/Left=-0.0", "top=480 left=4027.5"},
    {kTop + "1e39\nPlacement/Left=-inf", "top=3427.5 left=4027.5"},
    {kTop + "nan\nPlacement/Left=12abc", "top=3427.5 left=4027.5"},
    {kTop + "20000\nPlacement/Left=30000", "top=3427.5 left=4027.5"},  // off every screen
    {kTop + "-100\nPlacement/Left=-500", "top=-100 left=-500"},        // partly on it
};

TEST_F(SettingsTest, LoadGivesEachValueOrItsDefault) {
    EXPECT_EQ(LoadSettings(store), Settings{});  // the value's defaults are the empty store's
    for (const auto& [stored, expected] : kLoadCases) {
        SCOPED_TRACE(stored);
        Store(stored);
        EXPECT_THAT(Described(LoadSettings(store), room),
                    ::testing::HasSubstr(' ' + expected + ' '));
    }
    // A primary screen right of and below another one: centred on it, wherever it stands.
    room.screen = {15360, 600, 15360, 11520};
    Store("");
    EXPECT_THAT(Described(LoadSettings(store), room),
                ::testing::HasSubstr(" top=4027.5 left=19387.5 "));
}

// A value of each key, as SaveSettings writes back what LoadSettings read: edges with every
// digit a float needs, masks joined by one blank.
const std::string kEveryValue =
    "Defaults/AutoPrint=1\nDefaults/AutoPrintSet=1\nDefaults/Copies=3x\nDefaults/CopyDir= "
    "d:\\done\\ \n"
    "Defaults/PageEject=2\nDefaults/PrintMethod=Move\nDefaults/StartDir=\nMask/MaskIndex=1\n"
    "Mask/MaskString=*.prn *.a\nPlacement/Left=1e-30\nPlacement/Top=1234.5677\n";

// Stored values loaded, whether the window then has a placement to save (it has none while
// minimised or maximised), and what a save into an empty store writes.
const std::tuple<std::string, bool, Matcher<const std::string&>> kSaveCases[] = {
    {kEveryValue, true, kEveryValue},
    {"Defaults/PrintMethod=Delete", true, ::testing::HasSubstr("/PrintMethod=Delete\n")},
    {kEveryValue, false, ::testing::EndsWith("Mask/MaskString=*.prn *.a\n")},  // no placement
};

TEST_F(SettingsTest, SaveWritesBackWhatLoadRead) {
    for (const auto& [stored, placed, saved] : kSaveCases) {
        SCOPED_TRACE(stored);
        Store(stored);
        Settings settings = LoadSettings(store);
        if (!placed) settings.top = settings.left = std::nullopt;
        store.values.clear();
        SaveSettings(store, settings);
        EXPECT_THAT(Described(store), saved);
    }
}

TEST_F(SettingsTest, StoreFailureIsReportedByMigrationAndSave) {
    store.syncFails = true;
    EXPECT_THROW(MigrateIniSettings(store, profile, room), SettingsError);
    EXPECT_THROW(SaveSettings(store, Settings{}), SettingsError);
}

TEST_F(SettingsTest, MigrationWithoutLegacyFileOnlyRecordsTheAttempt) {
    EXPECT_TRUE(IsFirstStart(store));
    std::filesystem::create_directory(iniPath);  // nor is a directory of its name read
    MigrateIniSettings(store, profile, room);
    EXPECT_FALSE(IsFirstStart(store));
    EXPECT_EQ(Described(store), "Migration/Done=1\n");
}

TEST_F(SettingsTest, MigrationStoresTheDefaultsOfMissingOrEmptyLegacyValues) {
    EXPECT_EQ(Migrated("Defaults/Print Method=\nPlacement/Left="),
              "Defaults/AutoPrint=0\nDefaults/CopyDir=" + DefaultCopyDirectory() +
                  "\nDefaults/PageEject=0\nDefaults/PrintMethod=Leave\nDefaults/StartDir=" +
                  DefaultStartDirectory() +
                  "\nMask/MaskIndex=1\nMask/MaskString=*.txt *.bat *.ini *.*\nMigration/Done=1\n"
                  "Placement/Left=4027.5\nPlacement/Top=3427.5\n");
}

TEST_F(SettingsTest, MigrationCopiesLegacyValuesCutTo254CharactersAndTheMaskIndexWhole) {
    const std::string text(300, 'x');
    EXPECT_EQ(Migrated("Defaults/Start Dir=" + text +
                       "\nDefaults/Copy Dir=  e:\\x  \n"
                       "Defaults/Auto On=1\nDefaults/Page Eject=yes\nDefaults/Print Method=delete\n"
                       "Mask/Mask String=*.p  *.t\nMask/Mask Index=12abc\nPlacement/Top=0\n"
                       "Placement/Left=12.75"),
              "Defaults/AutoPrint=1\nDefaults/CopyDir=  e:\\x  \nDefaults/PageEject=yes\n"
              "Defaults/PrintMethod=delete\nDefaults/StartDir=" +
                  text.substr(0, 254) +
                  "\nMask/MaskIndex=12\nMask/MaskString=*.p  *.t\nMigration/Done=1\n"
                  "Placement/Left=12.75\nPlacement/Top=0\n");
}

}  // namespace
}  // namespace vantrel::testing
