#pragma once

#include <string>
#include <vector>

#include "settings/live_settings.h"
#include "settings/main_window_settings.h"

namespace vantrel::testing {

// Live settings that also keep the texts of their mask list.
class MaskListLiveSettings : public PlainLiveSettings {
  public:
    std::vector<std::string> maskList;

    void clearMaskList() override {
        PlainLiveSettings::clearMaskList();
        maskList.clear();
    }
    void addMaskItem(const std::string& mask) override {
        PlainLiveSettings::addMaskItem(mask);
        maskList.push_back(mask);
    }
};

// A main window on a screen of a chosen size, in a chosen window state.
class TestWindow : public PlainMainWindowSettings {
  public:
    float screenWidthTwips = 15360;   // 1024 pixels at 15 twips each
    float screenHeightTwips = 11520;  // 768 pixels
    bool normal = true;

    float screenWidth() const override { return screenWidthTwips; }
    float screenHeight() const override { return screenHeightTwips; }
    bool isWindowStateNormal() const override { return normal; }

    // With the design size of 7305 x 4665 twips on the screen above.
    static constexpr float kCentredTop = 3427.5f;
    static constexpr float kCentredLeft = 4027.5f;
};

}  // namespace vantrel::testing
