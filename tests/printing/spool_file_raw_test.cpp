#include "printing/spool_file_raw.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/fake_printer_system.h"
#include "fakes/hooked_file_system.h"
#include "fakes/recording_messages.h"
#include "support/temp_dir.h"

namespace vantrel::testing {
namespace {

class SpoolFileRawTest : public ::testing::Test {
  protected:
    SpoolFileRawTest() { spooler.installed = {{"LaserJet", "LPT1:"}, {"Label", "COM1:"}}; }
    SpoolOutcome Spool(const std::string& path, const std::string& selection = "LaserJet - LPT1:") {
        return SpoolFileRaw(path, selection, spooler, files, live, messages);
    }

    TempDir dir;
    FakePrinterSystem spooler;
    HookedFileSystem files;
    PlainLiveSettings live;
    RecordingMessages messages;
};

TEST_F(SpoolFileRawTest, SendsTheFileInFullChunksThenTheRemainder) {
    struct Case {
        std::size_t size;
        std::vector<std::size_t> writes;
    };
    for (const auto& c : {Case{16384, {16384}}, Case{16385, {16384, 1}},
                          Case{40000, {16384, 16384, 7232}}, Case{1, {1}}}) {
        spooler.documents.clear();
        auto bytes = PatternBytes(c.size);
        auto outcome = Spool(dir.write("data.prn", bytes));
        ASSERT_TRUE(outcome.spooled) << c.size;
        ASSERT_EQ(spooler.printed().size(), 1u);
        EXPECT_EQ(spooler.printed()[0].writes, c.writes) << c.size;
        EXPECT_EQ(spooler.printed()[0].data, bytes) << c.size;
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SpoolFileRawTest, FormFeedIsTheLastByteOnlyWhenEjectIsExactlyOne) {
    auto path = dir.write("data.prn", PatternBytes(40000));
    live.setPageEject(1);
    ASSERT_TRUE(Spool(path).spooled);
    auto doc = spooler.printed().back();
    EXPECT_EQ(doc.writes, (std::vector<std::size_t>{16384, 16384, 7232, 1}));
    EXPECT_EQ(doc.data, PatternBytes(40000) + '\x0c');

    live.setPageEject(2);  // greyed
    ASSERT_TRUE(Spool(path).spooled);
    EXPECT_EQ(spooler.printed().back().data, PatternBytes(40000));
}

TEST_F(SpoolFileRawTest, DocumentIsNamedAfterTheFileNamePart) {
    Spool(dir.write("DATA.PRN", "x"));
    ASSERT_EQ(spooler.printed().size(), 1u);
    EXPECT_EQ(spooler.printed()[0].documentName, "Vantrel: DATA.PRN");
}

TEST_F(SpoolFileRawTest, SelectionMatchIsExactAndTheLastMatchWins) {
    auto path = dir.write("a.prn", "abc");
    spooler.installed = {{"Label", "COM1:"},
                         {"Label Writer", "COM1:"},
                         {"laserjet", "LPT1:"},
                         {"LaserJet", "LPT2:"}};
    ASSERT_TRUE(Spool(path, "Label Writer - COM1:").spooled);
    EXPECT_EQ(spooler.printed().back().deviceName, "Label Writer");
    // Without such a printer, the last that begins and ends it in collection order.
    ASSERT_TRUE(Spool(path, "Label Writer 2 - COM1:").spooled);
    EXPECT_EQ(spooler.printed().back().deviceName, "Label Writer");

    // The printer whose whole selection string it is wins in either order.
    std::swap(spooler.installed[0], spooler.installed[1]);
    ASSERT_TRUE(Spool(path, "Label Writer - COM1:").spooled);
    EXPECT_EQ(spooler.printed().back().deviceName, "Label Writer");

    // Neither the lower-case name nor the printer on another port matches.
    auto before = spooler.documents.size();
    EXPECT_FALSE(Spool(path, "LaserJet - LPT1:").spooled);
    EXPECT_FALSE(Spool(path, "None").spooled);
    EXPECT_EQ(spooler.documents.size(), before);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, "There is an error in the printer name.");
    EXPECT_EQ(messages.shown[0].style, MsgStyle::Ok);
    EXPECT_EQ(messages.shown[0].caption, "Vantrel");
}

TEST_F(SpoolFileRawTest, PrinterThatCannotBeOpenedGetsThePrinterNameMessage) {
    spooler.unopenable = {"LaserJet"};
    EXPECT_FALSE(Spool(dir.write("a.prn", "abc")).spooled);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"There is an error in the printer name."});
    EXPECT_TRUE(spooler.documents.empty());
}

TEST_F(SpoolFileRawTest, AnUnreadableFileSaysWhyAndStartsNoDocument) {
    const auto path = dir.file("gone.prn");
    EXPECT_EQ(Spool(path).failure, SpoolFailure::File);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].text.starts_with("Can't read file: " + path + " ("));
    EXPECT_TRUE(spooler.documents.empty());
}

TEST_F(SpoolFileRawTest, AFileCutShortWhileSentIsAReadFailure) {
    auto path = dir.write("a.prn", PatternBytes(50000));
    files.afterRead = [&](int read, const std::string&) {
        if (read == 2) std::filesystem::resize_file(path, 16384 + 100);
    };
    auto outcome = Spool(path);
    EXPECT_EQ(outcome.failure, SpoolFailure::File);
    EXPECT_EQ(outcome.reason, "it was cut short while it was printed (32768 of 50000 bytes read)");
    EXPECT_TRUE(spooler.printed().empty());
    EXPECT_TRUE(spooler.documents.at(0).cancelled);
}

TEST_F(SpoolFileRawTest, SpoolerFailuresWithdrawTheDocumentAndNameThePrinter) {
    auto path = dir.write("a.prn", PatternBytes(50000));
    spooler.failWriteAfterBytes = 20000;
    EXPECT_FALSE(Spool(path).spooled);
    spooler.failWriteAfterBytes.reset();
    spooler.finishFails = true;
    EXPECT_FALSE(Spool(path).spooled);
    spooler.finishFails = false;
    spooler.startFails = true;
    EXPECT_FALSE(Spool(path).spooled);
    spooler.startFails = false;
    spooler.listFails = true;
    EXPECT_FALSE(Spool(path).spooled);

    EXPECT_TRUE(spooler.printed().empty());
    for (const auto& doc : spooler.documents) EXPECT_TRUE(doc.cancelled);
    ASSERT_EQ(messages.shown.size(), 4u);
    for (const auto& m : messages.shown) {
        EXPECT_NE(m.text.find(path), std::string::npos) << m.text;
        EXPECT_EQ(m.style, MsgStyle::Critical);
    }
    EXPECT_NE(messages.shown[0].text.find("LaserJet"), std::string::npos);
    EXPECT_NE(messages.shown[0].text.find("the printer went away"), std::string::npos);
}

}  // namespace
}  // namespace vantrel::testing
