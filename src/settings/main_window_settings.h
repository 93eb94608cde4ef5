#pragma once

#include <string>
#include <vector>

namespace vantrel {

// Outer position and size in twips.
struct FormGeometry {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

// The settings the main window holds: its copies box Text2, its mask list Combo1 with the
// selected mask, and its placement on the screen.
class MainWindowSettings {
  public:
    virtual ~MainWindowSettings() = default;

    virtual std::string copiesText() const = 0;
    virtual void setCopiesText(const std::string& text) = 0;

    virtual void clearMasks() = 0;
    virtual void addMask(const std::string& mask) = 0;
    virtual std::vector<std::string> masks() const = 0;
    virtual int maskIndex() const = 0;  // -1 when no mask is selected
    virtual void setMaskIndex(int index) = 0;

    virtual FormGeometry geometry() const = 0;
    virtual bool isWindowStateNormal() const = 0;  // neither minimised nor maximised
    virtual void moveTo(float top, float left) = 0;
    // Centres the window on the screen: where CentredTop and CentredLeft say.
    virtual void moveToCentre();
    // The primary screen, where the window is centred, with its origin (twips).
    virtual FormGeometry screen() const = 0;
    // Whether the user could reach a window placed so: enough of its title bar to take it by
    // stands on some screen, any of them.
    virtual bool reachable(const FormGeometry& placed) const = 0;
};

// The main window's settings in batch mode, where no window exists.
class PlainMainWindowSettings : public MainWindowSettings {
  public:
    // The main window's outer size at design time, in twips.
    static constexpr float kDesignWidth = 7305;
    static constexpr float kDesignHeight = 4665;

    std::string copiesText() const override { return copies_; }
    void setCopiesText(const std::string& text) override { copies_ = text; }
    void clearMasks() override {
        masks_.clear();
        maskIndex_ = -1;
    }
    void addMask(const std::string& mask) override { masks_.push_back(mask); }
    std::vector<std::string> masks() const override { return masks_; }
    int maskIndex() const override { return maskIndex_; }
    void setMaskIndex(int index) override { maskIndex_ = index; }
    FormGeometry geometry() const override { return geometry_; }
    bool isWindowStateNormal() const override { return true; }
    void moveTo(float top, float left) override {
        geometry_.top = top;
        geometry_.left = left;
    }
    FormGeometry screen() const override { return {}; }
    bool reachable(const FormGeometry&) const override { return true; }  // no screens here

  private:
    std::string copies_ = "1";
    std::vector<std::string> masks_;
    int maskIndex_ = -1;
    FormGeometry geometry_{0, 0, kDesignWidth, kDesignHeight};
};

}  // namespace vantrel
