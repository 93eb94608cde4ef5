#pragma once

#include <string>

#include "platform/system_places.h"

namespace vantrel {

// The settings in force, held by the options dialog's controls: Check1 ("Use AutoPrint"),
// Check2 ("Eject page between jobs"), Text1 (start directory), Text2 (copy directory),
// Combo1 (default printing method) and ListMask (the file masks).
class LiveSettings {
  public:
    virtual ~LiveSettings() = default;

    virtual int autoPrint() const = 0;  // Check1: 0 clear (AutoPrint off), 1 ticked, 2 greyed
    virtual void setAutoPrint(int value) = 0;
    virtual int pageEject() const = 0;  // Check2: 0 clear, 1 ticked, 2 greyed
    virtual void setPageEject(int value) = 0;
    virtual std::string startDir() const = 0;  // Text1
    virtual void setStartDir(const std::string& text) = 0;
    virtual std::string copyDir() const = 0;  // Text2
    virtual void setCopyDir(const std::string& text) = 0;
    // Combo1: 0 "Leave", 1 "Delete", 2 "Move", -1 when the user typed into its field.
    virtual int printMethodIndex() const = 0;
    virtual void setPrintMethodIndex(int index) = 0;

    // ListMask, kept in step with the main window's mask list.
    virtual void clearMaskList() = 0;
    virtual void addMaskItem(const std::string& mask) = 0;
    virtual int maskItemCount() const = 0;
};

// Whether a form feed follows each document: "Eject page between jobs" ticked, not greyed.
inline bool EjectBetweenJobs(const LiveSettings& live) {
    return live.pageEject() == 1;
}

// The live settings of batch mode, where no dialog exists; starts on the settings' defaults.
class PlainLiveSettings : public LiveSettings {
  public:
    int autoPrint() const override { return autoPrint_; }
    void setAutoPrint(int value) override { autoPrint_ = value; }
    int pageEject() const override { return pageEject_; }
    void setPageEject(int value) override { pageEject_ = value; }
    std::string startDir() const override { return startDir_; }
    void setStartDir(const std::string& text) override { startDir_ = text; }
    std::string copyDir() const override { return copyDir_; }
    void setCopyDir(const std::string& text) override { copyDir_ = text; }
    int printMethodIndex() const override { return printMethodIndex_; }
    void setPrintMethodIndex(int index) override { printMethodIndex_ = index; }
    void clearMaskList() override { maskCount_ = 0; }
    void addMaskItem(const std::string&) override { ++maskCount_; }
    int maskItemCount() const override { return maskCount_; }

  private:
    int autoPrint_ = 0;
    int pageEject_ = 0;
    std::string startDir_ = DefaultStartDirectory();
    std::string copyDir_ = DefaultCopyDirectory();
    int printMethodIndex_ = 0;  // "Leave"
    int maskCount_ = 0;
};

}  // namespace vantrel
