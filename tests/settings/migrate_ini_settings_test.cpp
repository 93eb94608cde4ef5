#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_legacy_profile.h"
#include "fakes/fake_settings_store.h"
#include "platform/runtime_text.h"
#include "settings/known_default_dirs.h"
#include "settings/scratch_directory.h"
#include "settings/settings_holders.h"
#include "settings/settings_routines.h"

namespace vantrel {
namespace {

using testing::FakeLegacyProfile;
using testing::FakeSettingsStore;
using testing::KnownDefaultDirs;
using testing::MaskListLiveSettings;
using testing::ScratchDirectory;
using testing::TestWindow;

class Migration : public ::testing::Test {
  protected:
    Migration() { profile.directory = windowsDir.string(); }

    // Puts the legacy file in place; its values come from the fake profile.
    std::string CreateLegacyFile() {
        iniPath = windowsDir.write("Vantrel.Ini", "");
        return iniPath;
    }
    void Legacy(const std::string& section, const std::string& key, const std::string& value) {
        profile.values[{iniPath, section, key}] = value;
    }
    std::string Stored(const std::string& section, const std::string& key) {
        auto value = store.get(section, key);
        return value ? *value : "<absent>";
    }

    KnownDefaultDirs dirs;
    ScratchDirectory windowsDir;
    std::string iniPath = windowsDir.string() + kPathSeparator + "Vantrel.Ini";
    FakeLegacyProfile profile;
    FakeSettingsStore store;
    TestWindow window;
};

TEST_F(Migration, FirstStartUntilTheMigrationWasAttempted) {
    EXPECT_TRUE(IsFirstStart(store));
    MigrateIniSettings(store, profile, window);
    EXPECT_FALSE(IsFirstStart(store));
}

TEST_F(Migration, WithoutLegacyFileOnlyTheAttemptIsRecorded) {
    MigrateIniSettings(store, profile, window);

    EXPECT_FALSE(IsFirstStart(store));
    EXPECT_EQ(store.values.size(), 1u);
    EXPECT_GE(store.syncCount, 1);
}

TEST_F(Migration, DirectoryInPlaceOfTheLegacyFileIsNotMigrated) {
    std::filesystem::create_directory(iniPath);
    Legacy("Defaults", "Print Method", "Move");

    MigrateIniSettings(store, profile, window);

    EXPECT_EQ(Stored("Defaults", "PrintMethod"), "<absent>");
    EXPECT_FALSE(IsFirstStart(store));
}

TEST_F(Migration, EmptyLegacyFileStoresEveryDefault) {
    CreateLegacyFile();

    MigrateIniSettings(store, profile, window);

    EXPECT_EQ(Stored("Defaults", "StartDir"), dirs.startDir());
    EXPECT_EQ(Stored("Defaults", "CopyDir"), dirs.copyDir());
    EXPECT_EQ(Stored("Defaults", "AutoPrint"), "0");
    EXPECT_EQ(Stored("Defaults", "PageEject"), "0");
    EXPECT_EQ(Stored("Defaults", "PrintMethod"), "Leave");
    EXPECT_EQ(Stored("Mask", "MaskString"), "*.txt *.bat *.ini *.*");
    EXPECT_EQ(Stored("Mask", "MaskIndex"), "1");
    EXPECT_EQ(Stored("Placement", "Top"), "3427.5");
    EXPECT_EQ(Stored("Placement", "Left"), "4027.5");
    // The legacy file knows no copies count.
    EXPECT_EQ(Stored("Defaults", "Copies"), "<absent>");
    EXPECT_FALSE(IsFirstStart(store));
}

TEST_F(Migration, MissingLegacyMaskIndexSelectsTheSecondMaskButMissingStoredOneTheFirst) {
    CreateLegacyFile();
    MigrateIniSettings(store, profile, window);
    MaskListLiveSettings live;
    LoadSettings(store, live, window);
    EXPECT_EQ(window.maskIndex(), 1);

    FakeSettingsStore fresh;
    TestWindow other;
    LoadSettings(fresh, live, other);
    EXPECT_EQ(other.maskIndex(), 0);
}

TEST_F(Migration, LegacyValuesAreCopiedUnchanged) {
    CreateLegacyFile();
    Legacy("Defaults", "Start Dir", "d:\\spool in\\");
    Legacy("Defaults", "Copy Dir", "  e:\\done  ");
    Legacy("Defaults", "Auto On", "1");
    Legacy("Defaults", "Page Eject", "yes");
    Legacy("Defaults", "Print Method", "delete");
    Legacy("Mask", "Mask String", "*.prn  *.txt");
    Legacy("Placement", "Top", "0");
    Legacy("Placement", "Left", "12.75");

    MigrateIniSettings(store, profile, window);

    EXPECT_EQ(Stored("Defaults", "StartDir"), "d:\\spool in\\");
    EXPECT_EQ(Stored("Defaults", "CopyDir"), "  e:\\done  ");
    EXPECT_EQ(Stored("Defaults", "AutoPrint"), "1");
    EXPECT_EQ(Stored("Defaults", "PageEject"), "yes");
    EXPECT_EQ(Stored("Defaults", "PrintMethod"), "delete");
    EXPECT_EQ(Stored("Mask", "MaskString"), "*.prn  *.txt");
    EXPECT_EQ(Stored("Placement", "Top"), "0");
    EXPECT_EQ(Stored("Placement", "Left"), "12.75");
}

TEST_F(Migration, MaskIndexIsStoredAsTheWholeNumberItBeginsWith) {
    CreateLegacyFile();
    for (const auto& [legacy, stored] : std::vector<std::pair<std::string, std::string>>{
             {"12abc", "12"}, {"none", "0"}, {"2.0", "2"}, {" -1", "-1"}}) {
        Legacy("Mask", "Mask Index", legacy);
        MigrateIniSettings(store, profile, window);
        EXPECT_EQ(Stored("Mask", "MaskIndex"), stored) << '"' << legacy << '"';
    }
}

TEST_F(Migration, EmptyLegacyValueStoresTheDefault) {
    CreateLegacyFile();
    Legacy("Defaults", "Print Method", "");
    Legacy("Mask", "Mask Index", "");
    Legacy("Placement", "Left", "");

    MigrateIniSettings(store, profile, window);

    EXPECT_EQ(Stored("Defaults", "PrintMethod"), "Leave");
    EXPECT_EQ(Stored("Mask", "MaskIndex"), "1");
    EXPECT_EQ(Stored("Placement", "Left"), "4027.5");
}

TEST_F(Migration, LongLegacyValueIsCutTo254Characters) {
    CreateLegacyFile();
    const std::string longDir = "c:\\" + std::string(297, 'd');
    Legacy("Defaults", "Start Dir", longDir);

    MigrateIniSettings(store, profile, window);

    EXPECT_EQ(Stored("Defaults", "StartDir"), longDir.substr(0, 254));
}

TEST_F(Migration, StoreFailureIsReported) {
    CreateLegacyFile();
    store.syncFails = true;
    EXPECT_THROW(MigrateIniSettings(store, profile, window), SettingsError);
}

// A profile that hands back whatever it holds, however small the buffer.
class OverlongProfile : public FakeLegacyProfile {
  public:
    std::string privateProfileString(const std::string&, const std::string&, const std::string&,
                                     std::size_t, const std::string&) override {
        return std::string(300, 'x');
    }
};

TEST(ReadIniString, NeverGivesMoreThan254Characters) {
    OverlongProfile profile;
    EXPECT_EQ(ReadIniString(profile, {"/etc/Vantrel.Ini", "Defaults"}, "Start Dir", "c:\\").size(),
              254u);
}

}  // namespace
}  // namespace vantrel
