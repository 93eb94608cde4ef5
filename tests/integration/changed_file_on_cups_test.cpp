// A file that changes while it is sent, on the real spooler: what reaches the printer is the file
// as it was opened, whole or not at all, and a file whose content changed is never deleted. The
// change is made at an exact point of the send through the file seam's hooks.

#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/hooked_file_system.h"
#include "fakes/recording_messages.h"
#include "integration/harness.h"
#include "mainwindow/command_line.h"
#include "platform/backends.h"

namespace vantrel::integration {
namespace {

namespace fs = std::filesystem;

class ChangedFileOnCups : public ::testing::Test {
  protected:
    void SetUp() override {
        VANTREL_USE_PRIVATE_CUPS(cups_);
        system_ = MakeSystemPrinterSystem();
        before_ = CaptureDir(cups_, kLabelQueue).jobs();
    }
    BatchResult Run(const std::string& line) {
        return RunCommandLine(line, *system_, files_, live_, messages_);
    }
    std::vector<std::string> Received() {
        WaitUntilQueueIdle(kLabelQueue);
        return CaptureDir(cups_, kLabelQueue).jobsSince(before_);
    }

    PrivateCups cups_;
    std::unique_ptr<PrinterSystem> system_;
    testing::HookedFileSystem files_;
    PlainLiveSettings live_;
    testing::RecordingMessages messages_;
    TempDir dir_;
    std::vector<std::string> before_;
};

TEST_F(ChangedFileOnCups, ANewFileRenamedInDuringTheSendIsKeptAndTheOldOnePrinted) {
    const std::string path = dir_.file("label.prn");
    const std::string old = PatternBytes(100000, 1);
    WriteFile(path, old);
    files_.afterRead = [&](int read, const std::string&) {
        if (read != 2) return;
        WriteFile(dir_.file("label.new"), "new label");
        fs::rename(dir_.file("label.new"), path);
    };
    EXPECT_FALSE(Run("-D " + path + " " + kLabelQueue).ok);
    EXPECT_EQ(ReadFile(path), "new label");
    auto jobs = Received();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(ReadFile(jobs[0]), old);
}

TEST_F(ChangedFileOnCups, AFileCutShortDuringTheSendPrintsNothingAndIsKept) {
    const std::string path = dir_.file("label.prn");
    WriteFile(path, PatternBytes(200000, 2));
    files_.afterRead = [&](int read, const std::string&) {
        if (read == 3) fs::resize_file(path, 40000);
    };
    EXPECT_FALSE(Run("-D " + path + " " + kLabelQueue).ok);
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(Received(), std::vector<std::string>{});
}

}  // namespace
}  // namespace vantrel::integration
