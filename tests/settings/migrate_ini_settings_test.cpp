#include <filesystem>
#include <string>

#include "fakes/fake_legacy_profile.h"
#include "platform/runtime_text.h"
#include "platform/system_places.h"
#include "settings/settings_rig.h"
#include "support/temp_dir.h"

namespace vantrel::testing {
namespace {

// The fake profile, handing back whole values however small the buffer.
class UncutProfile : public FakeLegacyProfile {
    std::string privateProfileString(const std::string& section, const std::string& key,
                                     const std::string& defaultValue, std::size_t,
                                     const std::string& file) override {
        return FakeLegacyProfile::privateProfileString(section, key, defaultValue,
                                                       std::string::npos, file);
    }
};

// The legacy file's values come from the profile, keyed by the file's path.
class Migration : public SettingsTest {
  protected:
    Migration() { profile.directory = dir.path().string(); }
    std::string Migrated(const std::string& legacyLines) {
        dir.write("Vantrel.Ini", "");
        SetLines(legacyLines, [this](auto section, auto key, auto value) {
            profile.values[{iniPath, section, key}] = value;
        });
        MigrateIniSettings(store, profile, window);
        return Described(store);
    }

    TempDir dir;
    std::string iniPath = dir.path().string() + kPathSeparator + "Vantrel.Ini";
    UncutProfile profile;
};

TEST_F(Migration, WithoutLegacyFileOnlyTheAttemptIsRecorded) {
    EXPECT_TRUE(IsFirstStart(store));
    MigrateIniSettings(store, profile, window);
    EXPECT_FALSE(IsFirstStart(store));
    std::filesystem::create_directory(iniPath);  // nor is a directory of its name read
    MigrateIniSettings(store, profile, window);
    EXPECT_EQ(Described(store), "Migration/Done=1\n");
}

TEST_F(Migration, MissingOrEmptyLegacyValuesStoreTheDefaults) {
    EXPECT_EQ(Migrated("Defaults/Print Method=\nPlacement/Left="),
              "Defaults/AutoPrint=0\nDefaults/CopyDir=" + DefaultCopyDirectory() +
                  "\nDefaults/PageEject=0\nDefaults/PrintMethod=Leave\nDefaults/StartDir=" +
                  DefaultStartDirectory() +
                  "\nMask/MaskIndex=1\nMask/MaskString=*.txt *.bat *.ini *.*\nMigration/Done=1\n"
                  "Placement/Left=4027.5\nPlacement/Top=3427.5\n");
}

TEST_F(Migration, LegacyValuesAreCopiedCutTo254CharactersAndTheMaskIndexAsAWholeNumber) {
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

TEST_F(SettingsTest, StoreFailureIsReportedByMigrationAndSave) {
    store.syncFails = true;
    FakeLegacyProfile profile;
    EXPECT_THROW(MigrateIniSettings(store, profile, window), SettingsError);
    EXPECT_THROW(SaveSettings(store, live, window), SettingsError);
}

}  // namespace
}  // namespace vantrel::testing
