#include <gmock/gmock.h>

#include <string>
#include <utility>

#include "platform/system_places.h"
#include "settings/settings_rig.h"

namespace vantrel::testing {
namespace {

const std::string kMasks = "Mask/MaskString=*.a *.b *.c\nMask/MaskIndex=";
const std::string kTop = "Placement/Top=";

// Stored values, as "Section/Key=value" lines, and a part of what the holders hold after
// loading them. The holders are loaded into again and again, as those of the window are.
const std::pair<std::string, std::string> kLoadCases[] = {
    {"", "start=" + DefaultStartDirectory() + " copy=" + DefaultCopyDirectory() +
             " auto=0 eject=0 method=0 copies=1 masks=*.txt|*.bat|*.ini|*.* count=4 index=0 "
             "top=3427.5 left=4027.5"},
    {"Defaults/PageEject= 2 ", "eject=2"},
    {"Defaults/AutoPrint=3\nDefaults/PageEject=-1", "auto=0 eject=0"},
    {"Defaults/AutoPrint=1x\nDefaults/PageEject=1.5", "auto=0 eject=0"},
    {"Defaults/PrintMethod=Delete", "method=1"},
    {"Defaults/PrintMethod=delete", "method=0"},
    {"Defaults/PrintMethod=Move ", "method=0"},
    {"Mask/MaskString=  *.p *.t   *.?  ", "masks=*.p|*.t|*.? count=3"},
    {"Mask/MaskString=  \nMask/MaskIndex=0", "masks= count=0 index=-1"},
    {kMasks + "2", "index=2"},
    {kMasks + "3", "index=-1"},
    {kMasks + "-2", "index=-1"},
    {kMasks + "1x", "index=0"},
    {kTop + "0\nPlacement/Left=600", "top=3427.5 left=600"},
    {kTop + "480\nPlacement/Left=-0.0", "top=480 left=4027.5"},
    {kTop + "1e39\nPlacement/Left=-inf", "top=3427.5 left=4027.5"},
    {kTop + "nan\nPlacement/Left=12abc", "top=3427.5 left=4027.5"},
    {kTop + "20000\nPlacement/Left=30000", "top=3427.5 left=4027.5"},  // off every screen
    {kTop + "480\nPlacement/Left=30000", "top=3427.5 left=4027.5"},    // off to the right
    {kTop + "-100\nPlacement/Left=-500", "top=-100 left=-500"},        // partly on it
};

TEST_F(SettingsTest, LoadGivesEachValueOrItsDefault) {
    for (const auto& [stored, expected] : kLoadCases) {
        SCOPED_TRACE(stored);
        store.values.clear();
        Store(stored);
        LoadSettings(store, live, window);
        EXPECT_THAT(Described(live, window), ::testing::HasSubstr(' ' + expected + ' '));
    }
}

}  // namespace
}  // namespace vantrel::testing
