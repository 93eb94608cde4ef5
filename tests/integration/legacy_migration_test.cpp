// The first start of the real program takes over the settings of the legacy /etc/Vantrel.Ini
// once; later starts leave the store alone. Needs root, and a machine without a legacy file of
// its own (the test puts one there and removes it again).

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "integration/harness.h"

namespace vantrel::integration {
namespace {

constexpr const char* kLegacyFile = "/etc/Vantrel.Ini";

class LegacyMigration : public ::testing::Test {
  protected:
    void SetUp() override {
        VANTREL_USE_PRIVATE_CUPS(cups_);
        if (::geteuid() != 0) GTEST_SKIP() << "writing " << kLegacyFile << " needs root";
        if (FileExists(kLegacyFile)) GTEST_SKIP() << kLegacyFile << " belongs to this machine";
        WriteFile(kLegacyFile,
                  "[Defaults]\r\nPage Eject=1\r\nStart Dir=/srv/labels/\r\n"
                  "[Mask]\r\nMask String=*.prn *.lbl\r\nMask Index=1 (labels)\r\n");
        owned_ = true;
        before_ = CaptureDir(cups_, kDefaultQueue).jobs();
    }
    void TearDown() override {
        if (owned_) std::filesystem::remove(kLegacyFile);
    }
    std::string Settings() {
        return ReadFile(home_.path().string() + "/.config/Vantrel/Vantrel.conf");
    }
    std::string PrintOne() {
        const std::string file = files_.file("label.prn");
        WriteFile(file, "^XA^FDhello^FS^XZ");
        auto run = RunVantrel({file}, home_.path());
        EXPECT_EQ(run.exitCode, 0) << run.err;
        WaitUntilQueueIdle(kDefaultQueue);
        auto jobs = CaptureDir(cups_, kDefaultQueue).jobsSince(before_);
        before_ = CaptureDir(cups_, kDefaultQueue).jobs();
        return jobs.size() == 1 ? ReadFile(jobs[0]) : "jobs: " + std::to_string(jobs.size());
    }

    PrivateCups cups_;
    TempDir home_;
    TempDir files_;
    std::vector<std::string> before_;
    bool owned_ = false;
};

TEST_F(LegacyMigration, FirstStartTakesOverTheLegacySettingsOnce) {
    // The migrated eject flag applies to the very first batch job.
    EXPECT_EQ(PrintOne(), std::string("^XA^FDhello^FS^XZ") + '\f');
    const std::string migrated = Settings();
    EXPECT_NE(migrated.find("StartDir=/srv/labels/"), std::string::npos) << migrated;
    EXPECT_NE(migrated.find("MaskString=*.prn *.lbl"), std::string::npos) << migrated;
    EXPECT_NE(migrated.find("MaskIndex=1\n"), std::string::npos) << migrated;

    // A changed legacy file is not read again.
    WriteFile(kLegacyFile, "[Defaults]\r\nPage Eject=0\r\n");
    EXPECT_EQ(PrintOne(), std::string("^XA^FDhello^FS^XZ") + '\f');
    EXPECT_EQ(Settings(), migrated);
}

}  // namespace
}  // namespace vantrel::integration
