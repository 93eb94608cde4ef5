#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_settings_store.h"
#include "settings/known_default_dirs.h"
#include "settings/settings_holders.h"
#include "settings/settings_routines.h"

namespace vantrel {
namespace {

using testing::FakeSettingsStore;
using testing::KnownDefaultDirs;
using testing::MaskListLiveSettings;
using testing::TestWindow;
using Masks = std::vector<std::string>;

class Loading : public ::testing::Test {
  protected:
    void Stored(const std::string& section, const std::string& key, const std::string& value) {
        store.set(section, key, value);
    }
    void Load() { LoadSettings(store, live, window); }

    KnownDefaultDirs dirs;
    FakeSettingsStore store;
    MaskListLiveSettings live;
    TestWindow window;
};

TEST_F(Loading, EmptyStoreGivesTheDefaults) {
    Load();

    EXPECT_EQ(live.startDir(), dirs.startDir());
    EXPECT_EQ(live.copyDir(), dirs.copyDir());
    EXPECT_EQ(live.autoPrint(), 0);
    EXPECT_EQ(live.pageEject(), 0);
    EXPECT_EQ(live.printMethodIndex(), 0);
    EXPECT_EQ(window.copiesText(), "1");
    const Masks defaults{"*.txt", "*.bat", "*.ini", "*.*"};
    EXPECT_EQ(window.masks(), defaults);
    EXPECT_EQ(live.maskList, defaults);
    EXPECT_EQ(window.maskIndex(), 0);
    EXPECT_EQ(window.geometry().top, TestWindow::kCentredTop);
    EXPECT_EQ(window.geometry().left, TestWindow::kCentredLeft);
}

TEST_F(Loading, TextsAreTakenAsStored) {
    Stored("Defaults", "StartDir", "");
    Stored("Defaults", "CopyDir", " d:\\moved files\\ ");
    Stored("Defaults", "Copies", "many");

    Load();

    EXPECT_EQ(live.startDir(), "");
    EXPECT_EQ(live.copyDir(), " d:\\moved files\\ ");
    EXPECT_EQ(window.copiesText(), "many");
}

TEST_F(Loading, CheckBoxesTakeZeroOneOrTwoAndClearOtherwise) {
    const std::vector<std::pair<std::string, int>> cases = {{"1", 1},   {"2", 2},  {" 1 ", 1},
                                                            {"3", 0},   {"-1", 0}, {"1x", 0},
                                                            {"yes", 0}, {"", 0},   {"1.5", 0}};
    for (const auto& [text, expected] : cases) {
        Stored("Defaults", "AutoPrint", text);
        Stored("Defaults", "PageEject", text);
        Load();
        EXPECT_EQ(live.autoPrint(), expected) << '"' << text << '"';
        EXPECT_EQ(live.pageEject(), expected) << '"' << text << '"';
    }
}

TEST_F(Loading, PrintMethodMatchesExactly) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"Leave", 0}, {"Delete", 1}, {"Move", 2}, {"delete", 0},
        {"MOVE", 0},  {"Move ", 0},  {"", 0}};
    for (const auto& [text, expected] : cases) {
        live.setPrintMethodIndex(-1);
        Stored("Defaults", "PrintMethod", text);
        Load();
        EXPECT_EQ(live.printMethodIndex(), expected) << '"' << text << '"';
    }
}

TEST_F(Loading, MasksAreSplitOnBlanksIntoBothLists) {
    Stored("Mask", "MaskString", "  *.prn   *.txt *.p?l  ");
    Load();
    const Masks expected{"*.prn", "*.txt", "*.p?l"};
    EXPECT_EQ(window.masks(), expected);
    EXPECT_EQ(live.maskList, expected);
    EXPECT_EQ(live.maskItemCount(), 3);
}

TEST_F(Loading, ReloadReplacesTheMaskListsEditedSince) {
    Stored("Mask", "MaskString", "*.a *.b");
    Load();
    window.addMask("*.new");
    live.addMaskItem("*.new");

    Load();

    EXPECT_EQ(window.masks(), (Masks{"*.a", "*.b"}));
    EXPECT_EQ(live.maskList, (Masks{"*.a", "*.b"}));
}

TEST_F(Loading, EmptyMaskTextLeavesBothListsEmptyAndNothingSelected) {
    Stored("Mask", "MaskString", "   ");
    Load();
    EXPECT_TRUE(window.masks().empty());
    EXPECT_TRUE(live.maskList.empty());
    EXPECT_EQ(window.maskIndex(), -1);
}

TEST_F(Loading, MaskSelectionWithinTheListOrNone) {
    Stored("Mask", "MaskString", "*.a *.b *.c");
    const std::vector<std::pair<std::string, int>> cases = {
        {"2", 2}, {"-1", -1}, {"3", -1}, {"-2", -1}, {"99999999999", -1},
        {"x", 0}, {"", 0},    {"1x", 0}, {"1.5", 0}, {" 1 ", 1}};
    for (const auto& [text, expected] : cases) {
        window.setMaskIndex(1);
        Stored("Mask", "MaskIndex", text);
        Load();
        EXPECT_EQ(window.maskIndex(), expected) << '"' << text << '"';
    }
}

TEST_F(Loading, StoredPlacementMovesTheWindow) {
    Stored("Placement", "Top", "-150.25");
    Stored("Placement", "Left", "1e3");
    Load();
    EXPECT_EQ(window.geometry().top, -150.25f);
    EXPECT_EQ(window.geometry().left, 1000.0f);
}

TEST_F(Loading, ZeroEdgeIsCentredOnItsAxisOnly) {
    Stored("Placement", "Top", "0");
    Stored("Placement", "Left", "600");
    Load();
    EXPECT_EQ(window.geometry().top, TestWindow::kCentredTop);
    EXPECT_EQ(window.geometry().left, 600.0f);

    Stored("Placement", "Top", "480");
    Stored("Placement", "Left", "-0.0");
    Load();
    EXPECT_EQ(window.geometry().top, 480.0f);
    EXPECT_EQ(window.geometry().left, TestWindow::kCentredLeft);
}

TEST_F(Loading, EdgeThatIsNotAFiniteNumberIsCentred) {
    for (const std::string text : {"12abc", "abc", "", "inf", "nan", "1e39", "--5"}) {
        Stored("Placement", "Top", text);
        Stored("Placement", "Left", text);
        Load();
        EXPECT_EQ(window.geometry().top, TestWindow::kCentredTop) << '"' << text << '"';
        EXPECT_EQ(window.geometry().left, TestWindow::kCentredLeft) << '"' << text << '"';
    }
}

}  // namespace
}  // namespace vantrel
