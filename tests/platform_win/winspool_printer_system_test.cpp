// The winspool backend with the core's print flows, against the queues of a private CUPS
// server that Wine's spooler prints to. Every job is checked byte for byte where its printer
// received it.

#include "platform/win/winspool_printer_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>

#include "fakes/recording_messages.h"
#include "mainwindow/command_line.h"
#include "platform/backends.h"
#include "platform_win/cups_capture.h"
#include "printing/printer_selection.h"
#include "printing/spool_file_raw.h"
#include "support/temp_dir.h"

namespace vantrel::testing {
namespace {

// The queues of scripts/cups/start-server.sh; Office_Laser is the server's default.
const std::set<std::string> kQueues = {"Office_Laser", "Label_Printer", "Closed_Desk",
                                       "Paused_Desk"};

// Wine names a CUPS queue's port after the queue.
std::string WinePort(const std::string& queue) {
    return "CUPS:" + queue;
}

std::string Selection(const std::string& queue) {
    return queue + " - " + WinePort(queue);
}

class WinspoolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto directory = CupsCapture::Directory();
        if (!directory) {
            if (CupsCapture::Required()) FAIL() << "VANTREL_TEST_CUPS_DIR names no CUPS server";
            GTEST_SKIP()
                << "no private CUPS server (scripts/windows/test-under-wine.sh starts one)";
        }
        capture = std::make_unique<CupsCapture>(*directory);
        system = MakeSystemPrinterSystem();
        // Wine lists no printers at all, and says nothing, when CUPS can't be reached.
        const char* server = std::getenv("CUPS_SERVER");
        ASSERT_FALSE(system->printers().empty())
            << "Wine lists no printers: can it reach CUPS_SERVER (" << (server ? server : "unset")
            << ")?";
    }

    // Prints the file on queue through the core's raw print job and returns what the queue's
    // printer received; fails the test when the job is not spooled or does not arrive.
    std::string PrintAndCapture(const std::string& path, const std::string& queue) {
        const int last = capture->lastJob(queue);
        auto outcome = SpoolFileRaw(path, Selection(queue), *system, live, messages);
        if (!outcome.spooled) {
            ADD_FAILURE() << "not spooled: " << outcome.reason;
            return {};
        }
        EXPECT_TRUE(messages.shown.empty()) << messages.shown.front().text;
        auto received = capture->waitForJob(queue, last + 1);
        EXPECT_TRUE(received) << "no job reached " << queue;
        return received.value_or("");
    }

    TempDir dir;
    std::unique_ptr<CupsCapture> capture;
    std::unique_ptr<PrinterSystem> system;
    PlainLiveSettings live;
    RecordingMessages messages;
};

// A list box over the printers' selection strings, in their order.
class ListBox : public PrinterListBox {
  public:
    explicit ListBox(std::vector<std::string> entries) : entries_(std::move(entries)) {}
    std::vector<std::string> entries() const override { return entries_; }
    void setSelectedIndex(int index) override { selected = index; }
    int selected = -1;

  private:
    std::vector<std::string> entries_;
};

TEST_F(WinspoolTest, PrintersAreTheCupsQueuesWithWinePorts) {
    // An unreachable CUPS server shows as no printers at all, without an error: every queue
    // must be there for this to pass.
    auto printers = system->printers();
    std::set<std::string> names;
    for (const auto& printer : printers) {
        names.insert(printer.deviceName);
        EXPECT_EQ(printer.port, WinePort(printer.deviceName));
    }
    EXPECT_EQ(names, kQueues);
    EXPECT_EQ(printers.size(), kQueues.size());
    // The spooler's order is kept from one call to the next.
    EXPECT_EQ(system->printers(), printers);
}

TEST_F(WinspoolTest, DefaultPrinterIsTheServersDefaultAndIsSelected) {
    auto entry = system->defaultPrinterEntry();
    ASSERT_TRUE(entry);
    EXPECT_EQ(*entry, "Office_Laser,wineps.drv,CUPS:Office_Laser");
    EXPECT_EQ(DefaultPrinterName(*entry), "OFFICE_LASER");

    std::vector<std::string> entries;
    for (const auto& printer : system->printers()) entries.push_back(SelectionString(printer));
    ListBox list(entries);
    SelectDefaultPrinter(list, *system);
    ASSERT_GE(list.selected, 0);
    EXPECT_EQ(entries[list.selected], "Office_Laser - CUPS:Office_Laser");
}

TEST_F(WinspoolTest, DatatypeFollowsTheDriverClass) {
    EXPECT_STREQ(RawDatatypeFor(0), "RAW");
    EXPECT_STREQ(RawDatatypeFor(0x2), "XPS_PASS");  // PRINTER_DRIVER_XPS
    EXPECT_STREQ(RawDatatypeFor(0x2 | 0x1 | 0x8), "XPS_PASS");
    EXPECT_STREQ(RawDatatypeFor(0x1 | 0x4 | 0x8), "RAW");
    // Wine's driver for CUPS queues is no XPS driver.
    for (const auto& queue : kQueues) EXPECT_EQ(RawDatatypeOfPrinter(queue), "RAW") << queue;
    EXPECT_EQ(RawDatatypeOfPrinter("No_Such_Printer"), std::nullopt);
}

TEST_F(WinspoolTest, RawJobsArriveByteForByte) {
    for (std::size_t size :
         {std::size_t{1}, std::size_t{16384}, std::size_t{16385}, std::size_t{1} << 20}) {
        for (int eject : {0, 1}) {
            live.setPageEject(eject);
            const std::string bytes = PatternBytes(size);
            const std::string path = dir.write("data.prn", bytes);
            const std::string expected = eject == 1 ? bytes + '\x0c' : bytes;
            const std::string received = PrintAndCapture(path, "Office_Laser");
            EXPECT_EQ(received.size(), expected.size()) << size << " bytes, eject " << eject;
            EXPECT_TRUE(received == expected) << size << " bytes, eject " << eject;
        }
    }
}

TEST_F(WinspoolTest, EveryByteValuePassesUnchanged) {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    // Line ends, the end-of-file mark, NUL, form feed, ESC @.
    bytes += std::string("\r\n\n\r\x1a\0\x0c\x1b@", 9);
    EXPECT_EQ(PrintAndCapture(dir.write("all.prn", bytes), "Label_Printer"), bytes);
}

TEST_F(WinspoolTest, EmptyFileWithEjectIsTheFormFeedAlone) {
    live.setPageEject(1);
    EXPECT_EQ(PrintAndCapture(dir.write("empty.prn", ""), "Label_Printer"), "\x0c");
}

TEST_F(WinspoolTest, CopiesAreSeparateJobs) {
    const std::string bytes = "copy of a label\r\n" + PatternBytes(20000);
    const std::string path = dir.write("label.prn", bytes);
    const int last = capture->lastJob("Label_Printer");
    // The printer is named by the beginning of its name, in any letter case.
    auto result = RunCommandLine("-C 3 " + path + " label", *system, live, messages);
    EXPECT_TRUE(result.ok);
    ASSERT_EQ(result.copiesSpooled, 3);
    EXPECT_TRUE(messages.shown.empty());
    for (int job = last + 1; job <= last + 3; ++job) {
        auto received = capture->waitForJob("Label_Printer", job);
        ASSERT_TRUE(received) << "copy " << job - last << " did not arrive";
        EXPECT_TRUE(*received == bytes) << "copy " << job - last;
    }
    EXPECT_TRUE(capture->nothingAfter("Label_Printer", last + 3, std::chrono::seconds(2)));
}

TEST_F(WinspoolTest, UnknownPrinterGivesThePrinterNameMessage) {
    const std::string path = dir.write("data.prn", "data");
    EXPECT_EQ(system->openPrinter("No_Such_Printer"), nullptr);

    for (const std::string selection :
         {"No_Such_Printer - CUPS:No_Such_Printer", "None", "Office_Laser - CUPS:Label_Printer"}) {
        messages.shown.clear();
        auto outcome = SpoolFileRaw(path, selection, *system, live, messages);
        EXPECT_FALSE(outcome.spooled) << selection;
        ASSERT_EQ(messages.shown.size(), 1u) << selection;
        EXPECT_EQ(messages.shown[0].text, "There is an error in the printer name.");
        EXPECT_EQ(messages.shown[0].style, MsgStyle::Ok);
        EXPECT_EQ(messages.shown[0].caption, "Vantrel");
    }

    // Batch mode with a printer name that matches nothing.
    messages.shown.clear();
    auto result = RunCommandLine(path + " Plotter", *system, live, messages);
    EXPECT_FALSE(result.ok);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown[0].text, "There is an error in the printer name.");
}

}  // namespace
}  // namespace vantrel::testing
