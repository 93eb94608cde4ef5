// The window's print flows on the real spooler: the Print press and AutoPrint, through the CUPS
// backend and the private scheduler, checked at the capture printers byte for byte.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "fakes/recording_messages.h"
#include "integration/harness.h"
#include "mainwindow/autoprint_watcher.h"
#include "mainwindow/print_press.h"
#include "platform/backends.h"
#include "printing/printer_selection.h"

namespace vantrel::integration {
namespace {

namespace fs = std::filesystem;

// The main window as the Print press sees it, with the real printer list.
class WindowState : public PrintPressView {
  public:
    explicit WindowState(PrinterSystem& system) : system_(system) { refreshLists(); }

    std::vector<std::string> files;
    std::vector<bool> selected;
    std::string copies = "1";
    int action = kActionLeave;
    std::string directory;
    std::vector<std::string> printerEntries;
    int printerIndex = -1;
    int refreshes = 0;

    void selectPrinter(const std::string& queue) {
        printerIndex = FindListEntry(printerEntries, queue).value_or(-1);
    }
    int fileListIndex() const override { return files.empty() ? -1 : 0; }
    std::vector<std::string> fileEntries() const override { return files; }
    std::vector<bool> fileSelection() const override { return selected; }
    int printerListIndex() const override { return printerIndex; }
    std::string selectedPrinter() const override {
        return printerIndex < 0 ? std::string() : printerEntries[printerIndex];
    }
    std::string copiesText() const override { return copies; }
    int actionIndex() const override { return action; }
    std::string currentDirectory() const override { return directory; }
    void refreshLists() override {
        ++refreshes;
        printerEntries.clear();
        for (const auto& printer : system_.printers()) {
            printerEntries.push_back(SelectionString(printer));
        }
        printerIndex = -1;
        struct List : PrinterListBox {
            WindowState& window;
            explicit List(WindowState& w) : window(w) {}
            std::vector<std::string> entries() const override { return window.printerEntries; }
            void setSelectedIndex(int index) override { window.printerIndex = index; }
        } list(*this);
        SelectDefaultPrinter(list, system_);
    }

  private:
    PrinterSystem& system_;
};

class FlowsOnCups : public ::testing::Test {
  protected:
    void SetUp() override {
        VANTREL_USE_PRIVATE_CUPS(cups_);
        system_ = MakeSystemPrinterSystem();
        window_ = std::make_unique<WindowState>(*system_);
        for (const char* queue : {kDefaultQueue, kLabelQueue}) {
            before_[queue] = CaptureDir(cups_, queue).jobs();
        }
        fs::create_directories(files_.file("src"));
        fs::create_directories(files_.file("copies"));
        window_->directory = files_.file("src");
        live_.setCopyDir(files_.file("copies"));
    }
    std::string Src(const std::string& name) { return files_.file("src/" + name); }
    void AddFile(const std::string& name, const std::string& bytes) {
        WriteFile(Src(name), bytes);
        window_->files.push_back(name);
        window_->selected.push_back(true);
    }
    std::vector<std::string> Received(const std::string& queue) {
        WaitUntilQueueIdle(queue);
        std::vector<std::string> contents;
        for (const auto& job : CaptureDir(cups_, queue).jobsSince(before_[queue])) {
            contents.push_back(ReadFile(job));
        }
        return contents;
    }
    PressResult Press() { return PressPrint(*window_, *system_, live_, messages_); }

    PrivateCups cups_;
    TempDir files_;
    std::unique_ptr<PrinterSystem> system_;
    std::unique_ptr<WindowState> window_;
    PlainLiveSettings live_;
    testing::RecordingMessages messages_;
    std::map<std::string, std::vector<std::string>> before_;
};

TEST_F(FlowsOnCups, PressPrintsEverySelectedFileInItsCopiesOnTheChosenPrinter) {
    const std::string a = PatternBytes(40000, 1), b = PatternBytes(16385, 2);
    AddFile("a.prn", a);
    AddFile("b.prn", b);
    window_->copies = "2";
    window_->selectPrinter(kLabelQueue);
    ASSERT_GE(window_->printerIndex, 0);
    live_.setPageEject(1);

    EXPECT_EQ(Press(), PressResult::Completed);
    EXPECT_TRUE(messages_.shown.empty()) << messages_.shown[0].text;
    EXPECT_EQ(Received(kLabelQueue),
              (std::vector<std::string>{a + '\f', a + '\f', b + '\f', b + '\f'}));
    EXPECT_TRUE(Received(kDefaultQueue).empty());
    // The lists were rebuilt, and the default printer is selected again.
    EXPECT_EQ(window_->printerEntries[window_->printerIndex].rfind(kDefaultQueue, 0), 0u);
}

TEST_F(FlowsOnCups, MoveAndDeleteHappenOnlyAfterThePrint) {
    AddFile("a.prn", "move me");
    window_->selectPrinter(kDefaultQueue);
    window_->action = kActionMove;
    EXPECT_EQ(Press(), PressResult::Completed);
    EXPECT_EQ(ReadFile(files_.file("copies/a.prn")), "move me");
    EXPECT_FALSE(FileExists(Src("a.prn")));

    window_->files = {};
    window_->selected = {};
    AddFile("b.prn", "delete me");
    window_->action = kActionDelete;
    window_->selectPrinter(kRejectingQueue);  // refuses the job: the file must stay
    EXPECT_EQ(Press(), PressResult::Stopped);
    EXPECT_TRUE(FileExists(Src("b.prn")));
    ASSERT_FALSE(messages_.shown.empty());
    EXPECT_NE(messages_.shown[0].text.find(kRejectingQueue), std::string::npos)
        << messages_.shown[0].text;

    EXPECT_EQ(Received(kDefaultQueue), std::vector<std::string>{"move me"});
}

TEST_F(FlowsOnCups, AutoPrintTakesStableFilesOnTheDefaultPrinter) {
    const std::string drop = files_.file("RawSpool");
    fs::create_directories(drop);
    std::string copies = "2";
    AutoPrintWatcher watcher(drop, *system_, live_, messages_, [&] { return copies; });
    WriteFile(drop + "/one.prn", PatternBytes(20000, 3));
    WriteFile(drop + "/.hidden", "never");
    watcher.tick();
    watcher.tick();
    EXPECT_FALSE(FileExists(drop + "/one.prn"));
    EXPECT_TRUE(FileExists(drop + "/.hidden"));
    EXPECT_EQ(Received(kDefaultQueue),
              (std::vector<std::string>{PatternBytes(20000, 3), PatternBytes(20000, 3)}));
    EXPECT_TRUE(messages_.shown.empty());
}

}  // namespace
}  // namespace vantrel::integration
