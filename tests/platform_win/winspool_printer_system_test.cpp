// The winspool backend with the core's raw print job, against the queues of a private CUPS
// server that Wine's spooler prints to (scripts/windows/test-under-wine.sh starts it and names
// it in VANTREL_TEST_CUPS_DIR). Each queue's capture printer stores job N, once complete, as
// capture/QUEUE/job-000N.bin; every job is checked byte for byte there.

#include "platform/win/winspool_printer_system.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "fakes/recording_messages.h"
#include "platform/backends.h"
#include "platform/file_system.h"
#include "printing/spool_file_raw.h"
#include "support/temp_dir.h"

namespace vantrel::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class Winspool : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* server = std::getenv("VANTREL_TEST_CUPS_DIR");
        if (!server && !std::getenv("VANTREL_REQUIRE_CUPS")) GTEST_SKIP() << "no CUPS server";
        ASSERT_TRUE(server) << "VANTREL_TEST_CUPS_DIR names no private CUPS server";
        capture = fs::path("Z:"s + server) / "capture" / "Label_Printer";  // Wine's Z: is /
        // Wine lists no printers at all, and says nothing, when it can't reach CUPS.
        ASSERT_FALSE(system->printers().empty()) << "can Wine reach CUPS_SERVER?";
    }

    fs::path capture;
    std::unique_ptr<PrinterSystem> system = MakeSystemPrinterSystem();
};

TEST_F(Winspool, PrintersAreTheQueuesWithWinePortsRawDatatypeAndTheServersDefault) {
    std::string selections;
    for (const auto& printer : system->printers()) {
        selections += printer.deviceName + " - " + printer.port + "\n";
        // Wine's driver for CUPS queues is no XPS driver.
        EXPECT_EQ(RawDatatypeOfPrinter(printer.deviceName), "RAW");
    }
    EXPECT_EQ(selections,
              "Closed_Desk - CUPS:Closed_Desk\nLabel_Printer - CUPS:Label_Printer\n"
              "Office_Laser - CUPS:Office_Laser\nPaused_Desk - CUPS:Paused_Desk\n"
              "Refused_Abort - CUPS:Refused_Abort\nRefused_Stop - CUPS:Refused_Stop\n");
    EXPECT_EQ(system->defaultPrinterEntry(), "Office_Laser,wineps.drv,CUPS:Office_Laser");
    EXPECT_EQ(RawDatatypeOfPrinter("No_Such_Printer"), std::nullopt);
    EXPECT_STREQ(RawDatatypeFor(0x2 | 0x1 | 0x8), "XPS_PASS");  // PRINTER_DRIVER_XPS is 0x2
    EXPECT_STREQ(RawDatatypeFor(0x1 | 0x4 | 0x8), "RAW");
}

// The file's bytes, every byte value among them, and the eject setting; the printer gets the
// bytes, then a form feed for 1.
TEST_F(Winspool, RawJobsArriveByteForByte) {
    std::error_code error;
    int job = 0;  // the jobs the printer has had
    for (const auto& entry : fs::directory_iterator(capture, error)) {
        job += entry.path().extension() == ".bin";
    }
    TempDir dir;
    auto files = MakeSystemFileSystem();
    RecordingMessages messages;
    for (const auto& [bytes, eject] :
         {std::pair{PatternBytes(16384), 1}, std::pair{PatternBytes(16385), 0},
          std::pair{PatternBytes(1 << 20), 1}, std::pair{""s, 1}}) {
        SCOPED_TRACE(::testing::Message() << bytes.size() << " bytes, eject " << eject);
        auto outcome =
            SpoolFileRaw(FileInput(dir.write("data.prn", bytes), *files),
                         "Label_Printer - CUPS:Label_Printer", *system, SpoolOptions{eject == 1});
        ASSERT_TRUE(outcome.spooled && messages.shown.empty()) << outcome.reason;
        char name[32];
        std::snprintf(name, sizeof name, "job-%04d.bin", ++job);
        for (int wait = 0; wait < 1200 && !fs::exists(capture / name, error); ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        EXPECT_TRUE(ReadFile((capture / name).string()) == bytes + (eject ? "\x0c" : ""));
        // Wine's queues keep no printed jobs: the job left its queue, which is its end; a run
        // that lost sight of it still cannot tell whether its document ended.
        EXPECT_EQ(system->jobStatus("Label_Printer", outcome.jobId).state, JobState::LeftQueue);
        EXPECT_EQ(system->jobFacts("Label_Printer", outcome.jobId), JobFacts{});
    }
}

}  // namespace
}  // namespace vantrel::testing
