#include <string>
#include <utility>

#include "settings/settings_rig.h"

namespace vantrel::testing {
namespace {

// A value of each key, as SaveSettings writes back what LoadSettings read: edges with every
// digit a float needs, masks joined by one blank.
const std::string kEveryValue =
    "Defaults/AutoPrint=1\nDefaults/Copies=3x\nDefaults/CopyDir= d:\\done\\ \n"
    "Defaults/PageEject=2\nDefaults/PrintMethod=Move\nDefaults/StartDir=\nMask/MaskIndex=1\n"
    "Mask/MaskString=*.prn *.a\nPlacement/Left=1e-30\nPlacement/Top=1234.5677\n";

TEST_F(SettingsTest, SaveWritesBackWhatLoadRead) {
    Store(kEveryValue);
    LoadSettings(store, live, window);
    FakeSettingsStore saved;
    SaveSettings(saved, live, window);
    EXPECT_EQ(Described(saved), kEveryValue);
    EXPECT_EQ(saved.syncCount, 1);
}

TEST_F(SettingsTest, SavedMethodTextFollowsTheSelectedEntry) {
    for (const auto& [index, text] : {std::pair{0, "Leave"}, std::pair{1, "Delete"},
                                      std::pair{2, "Move"}, std::pair{-1, "Leave"}}) {
        live.setPrintMethodIndex(index);
        SaveSettings(store, live, window);
        EXPECT_EQ(store.get("Defaults", "PrintMethod"), text) << index;
    }
}

TEST_F(SettingsTest, SavesNoMasksNorPlacementOfAMinimisedOrMaximisedWindow) {
    Store("Placement/Top=300\nPlacement/Left=400");
    window.normal = false;
    SaveSettings(store, live, window);
    EXPECT_NE(Described(store).find("Mask/MaskIndex=-1\nMask/MaskString=\nPlacement/Left=400\n"
                                    "Placement/Top=300\n"),
              std::string::npos);
}

}  // namespace
}  // namespace vantrel::testing
