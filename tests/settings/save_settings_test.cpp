#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_settings_store.h"
#include "settings/settings_holders.h"
#include "settings/settings_routines.h"

namespace vantrel {
namespace {

using testing::FakeSettingsStore;
using testing::MaskListLiveSettings;
using testing::TestWindow;
using Masks = std::vector<std::string>;

class Saving : public ::testing::Test {
  protected:
    Saving() {
        live.setStartDir("");
        live.setCopyDir("d:\\done\\");
        live.setAutoPrint(1);
        live.setPageEject(2);
        live.setPrintMethodIndex(2);
        window.setCopiesText("3x");
        window.addMask("*.prn");
        window.addMask("*.txt");
        window.setMaskIndex(1);
        window.moveTo(1200, 900);
    }
    std::string Stored(const std::string& section, const std::string& key) {
        auto value = store.get(section, key);
        return value ? *value : "<absent>";
    }
    void Save() { SaveSettings(store, live, window); }

    FakeSettingsStore store;
    MaskListLiveSettings live;
    TestWindow window;
};

TEST_F(Saving, WritesEverySettingAsText) {
    Save();

    EXPECT_EQ(Stored("Defaults", "StartDir"), "");
    EXPECT_EQ(Stored("Defaults", "CopyDir"), "d:\\done\\");
    EXPECT_EQ(Stored("Defaults", "AutoPrint"), "1");
    EXPECT_EQ(Stored("Defaults", "PageEject"), "2");
    EXPECT_EQ(Stored("Defaults", "PrintMethod"), "Move");
    EXPECT_EQ(Stored("Defaults", "Copies"), "3x");
    EXPECT_EQ(Stored("Mask", "MaskString"), "*.prn *.txt");
    EXPECT_EQ(Stored("Mask", "MaskIndex"), "1");
    EXPECT_EQ(Stored("Placement", "Top"), "1200");
    EXPECT_EQ(Stored("Placement", "Left"), "900");
    EXPECT_EQ(store.values.size(), 10u);
    EXPECT_EQ(store.syncCount, 1);
}

TEST_F(Saving, MethodTextFollowsTheSelectedEntry) {
    const std::vector<std::pair<int, std::string>> cases = {
        {0, "Leave"}, {1, "Delete"}, {2, "Move"}, {-1, "Leave"}};
    for (const auto& [index, expected] : cases) {
        live.setPrintMethodIndex(index);
        Save();
        EXPECT_EQ(Stored("Defaults", "PrintMethod"), expected) << index;
    }
}

TEST_F(Saving, NoMasksStoreEmptyTextAndNoSelection) {
    window.clearMasks();
    Save();
    EXPECT_EQ(Stored("Mask", "MaskString"), "");
    EXPECT_EQ(Stored("Mask", "MaskIndex"), "-1");
}

TEST_F(Saving, MinimisedOrMaximisedWindowKeepsTheStoredPlacement) {
    store.set("Placement", "Top", "300");
    store.set("Placement", "Left", "400");
    window.normal = false;

    Save();

    EXPECT_EQ(Stored("Placement", "Top"), "300");
    EXPECT_EQ(Stored("Placement", "Left"), "400");
    EXPECT_EQ(Stored("Defaults", "Copies"), "3x");
}

TEST_F(Saving, StoreFailureIsReported) {
    store.syncFails = true;
    EXPECT_THROW(Save(), SettingsError);
}

// What a save followed by a load gives back in fresh holders.
class RoundTrip : public Saving {
  protected:
    void SaveAndReload() {
        Save();
        LoadSettings(store, loadedLive, loadedWindow);
    }
    MaskListLiveSettings loadedLive;
    TestWindow loadedWindow;
};

TEST_F(RoundTrip, GivesBackWhatWasSaved) {
    SaveAndReload();

    EXPECT_EQ(loadedLive.startDir(), "");
    EXPECT_EQ(loadedLive.copyDir(), "d:\\done\\");
    EXPECT_EQ(loadedLive.autoPrint(), 1);
    EXPECT_EQ(loadedLive.pageEject(), 2);
    EXPECT_EQ(loadedLive.printMethodIndex(), 2);
    EXPECT_EQ(loadedWindow.copiesText(), "3x");
    EXPECT_EQ(loadedWindow.masks(), (Masks{"*.prn", "*.txt"}));
    EXPECT_EQ(loadedLive.maskList, (Masks{"*.prn", "*.txt"}));
    EXPECT_EQ(loadedWindow.maskIndex(), 1);
    EXPECT_EQ(loadedWindow.geometry().top, 1200.0f);
    EXPECT_EQ(loadedWindow.geometry().left, 900.0f);
}

TEST_F(RoundTrip, PlacementComesBackExactly) {
    for (float edge : {0.1f, -4027.5f, 1234.5625f, 16777217.0f, 3.4e38f, 1e-30f, -7.0e-3f}) {
        window.moveTo(edge, -edge);
        SaveAndReload();
        EXPECT_EQ(loadedWindow.geometry().top, edge);
        EXPECT_EQ(loadedWindow.geometry().left, -edge);
    }
}

TEST_F(RoundTrip, MaskWithABlankComesBackAsTwo) {
    window.addMask("*.a *.b");
    SaveAndReload();
    EXPECT_EQ(loadedWindow.masks(), (Masks{"*.prn", "*.txt", "*.a", "*.b"}));
    EXPECT_EQ(loadedLive.maskList, loadedWindow.masks());
}

}  // namespace
}  // namespace vantrel
