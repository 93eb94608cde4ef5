#include "printing/spool_file_raw.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "printing/outcome_texts.h"
#include "printing/print_copies.h"
#include "support/print_rig.h"

namespace vantrel::testing {
namespace {

const std::string kNameError = "There is an error in the printer name.";

class SpoolFileRawTest : public PrintRig {
  protected:
    SpoolFileRawTest() { spooler.installed = {{"LaserJet", "LPT1:"}, {"Label", "COM1:"}}; }
    SpoolOutcome Spool(const std::string& path, const std::string& selection = "LaserJet - LPT1:") {
        return SpoolFileRaw(FileInput(path, files), selection, spooler, options);
    }
    // What a person is told of a copy that failed.
    std::string Told(const std::string& path) { return SpoolFailureNotice(Spool(path)).text; }
    // The printer the file went to, or what a person is told instead.
    std::string SpooledOn(const std::string& path, const std::string& selection) {
        spooler.documents.clear();
        const auto outcome = Spool(path, selection);
        if (!outcome.spooled) return SpoolFailureNotice(outcome).text;
        return spooler.printed().at(0).deviceName;
    }
};

// Full chunks then the remainder; the form feed only when asked for, as a write of its own after
// the last chunk. An empty file sends no document, unless
// there is a form feed to send.
TEST_F(SpoolFileRawTest, SendsTheFileInFullChunksThenTheFormFeed) {
    struct Case {
        std::size_t size;
        bool eject;
        std::vector<std::size_t> writes;
    };
    const Case kCases[] = {{0, false, {}},
                           {0, true, {1}},
                           {1, false, {1}},
                           {16384, false, {16384}},
                           {16385, false, {16384, 1}},
                           {40000, true, {16384, 16384, 7232, 1}}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(::testing::Message() << c.size << " bytes, eject " << c.eject);
        spooler.documents.clear();
        options.formFeed = c.eject;
        const auto bytes = PatternBytes(c.size);
        ASSERT_TRUE(Spool(dir.write("data.prn", bytes)).spooled);
        ASSERT_EQ(spooler.documents.size(), c.writes.empty() ? 0u : 1u);
        if (c.writes.empty()) continue;
        const auto doc = spooler.printed().at(0);
        EXPECT_EQ(doc.writes, c.writes);
        EXPECT_EQ(doc.data, bytes + std::string(c.eject ? "\f" : ""));
        EXPECT_EQ(doc.documentName, "Vantrel: data.prn");
    }
}

// The printer whose whole selection string it is, in either order; else the last whose name
// begins it and whose port ends it, with case.
TEST_F(SpoolFileRawTest, SelectionFindsTheExactPrinterElseTheLastThatBeginsAndEndsIt) {
    const auto path = dir.write("a.prn", "abc");
    const std::vector<Printer> printers = {
        {"Label", "COM1:"}, {"Labels", "COM1:"}, {"laserjet", "LPT1:"}, {"LaserJet", "LPT2:"}};
    const std::vector<Printer> swapped = {printers[1], printers[0]};
    const std::tuple<const std::vector<Printer>&, std::string, std::string> kCases[] = {
        {printers, "Labels - COM1:", "Labels"},
        {swapped, "Labels - COM1:", "Labels"},
        {printers, "Labels 2 - COM1:", "Labels"},
        {printers, "LaserJet - LPT1:", kNameError},
        {printers, "None", kNameError}};
    for (const auto& [installed, selection, where] : kCases) {
        spooler.installed = installed;
        EXPECT_EQ(SpooledOn(path, selection), where) << selection;
    }
    spooler.unopenable = {"LaserJet"};
    EXPECT_EQ(SpooledOn(path, "LaserJet - LPT2:"), kNameError);
    EXPECT_TRUE(spooler.documents.empty());
}

// A failure is of its kind and says why: the file that cannot be read, or the spooler's reason
// with the file and the printer.
TEST_F(SpoolFileRawTest, FailuresAreOfTheirKindAndSayWhy) {
    const auto gone = dir.file("gone.prn");
    EXPECT_EQ(Spool(gone).failure, SpoolFailure::File);
    EXPECT_TRUE(Told(gone).starts_with("Can't read file: " + gone + " ("));
    const auto path = dir.write("a.prn", "abc");
    spooler.failDocument = 1;
    EXPECT_EQ(Spool(path).failure, SpoolFailure::SpoolerRefused);
    EXPECT_EQ(Told(path),
              "Could not print " + path + " on LaserJet: the printer is not accepting jobs");
    spooler.failDocument.reset();
    spooler.finishFails = true;
    EXPECT_EQ(Spool(path).failure, SpoolFailure::SpoolerRefused);
    EXPECT_EQ(Told(path),
              "Could not print " + path + " on LaserJet: job 7 on LaserJet was cancelled");
    spooler.listFails = true;
    EXPECT_EQ(Spool(path).failure, SpoolFailure::SpoolerUnreachable);
    EXPECT_TRUE(spooler.printed().empty());
}

// Exactly the length at open is read; a file that changes while it is sent is withdrawn before
// its document is closed, so that nothing of it prints.
TEST_F(SpoolFileRawTest, AFileThatChangesWhileSentIsWithdrawn) {
    namespace fs = std::filesystem;
    const std::string bytes = PatternBytes(50000);  // read in 16384, 16384, 16384 and 1232
    const std::tuple<int, std::uintmax_t, std::string> kCases[] = {
        {2, 16484, "it was cut short while it was sent (32768 of 50000 bytes read)"},
        {1, 70000, "it grew while it was sent"},
        {4, 10, "it was cut short while it was sent"},
        {4, 50000, "it was rewritten while it was sent"}};
    for (const auto& [read, size, reason] : kCases) {
        spooler.documents.clear();
        const auto path = dir.write("a.prn", bytes);
        files.afterRead = [&](int n, const std::string&) {
            if (n != read) return;
            fs::resize_file(path, size);
            fs::last_write_time(path, fs::file_time_type::clock::now() + std::chrono::hours(1));
        };
        const auto outcome = Spool(path);
        EXPECT_EQ(outcome.failure, SpoolFailure::Changed) << reason;
        EXPECT_EQ(outcome.reason, reason);
        ASSERT_EQ(spooler.documents.size(), 1u);
        EXPECT_TRUE(spooler.documents[0].cancelled && !spooler.documents[0].finished);
        EXPECT_TRUE(bytes.starts_with(spooler.documents[0].data)) << reason;
    }
}

// Copies stop at the first that fails, since the rest would fail alike; a person is told why,
// and how many were spooled before it.
TEST_F(SpoolFileRawTest, CopiesStopAtTheFailedOneAndSaySo) {
    const auto path = dir.write("a.prn", "abc");  // one read a copy
    int reads = 0;
    files.afterRead = [&](int, const std::string&) {
        if (++reads == 2) WriteFile(path, "abcdef");
    };
    const auto outcome = PrintCopies(path, "LaserJet - LPT1:", 3, spooler, files, options);
    EXPECT_EQ(outcome.spooled, 1);
    EXPECT_EQ(spooler.documents.size(), 2u);
    EXPECT_EQ(CopiesNotices(outcome),
              (std::vector<Notice>{{"Did not print " + path +
                                        ": it grew while it was sent, so its job was withdrawn.",
                                    MsgStyle::Exclamation},
                                   {"Printing of " + path +
                                        " stopped at the failed copy 2: 1 of 3 copies were "
                                        "spooled before it.",
                                    MsgStyle::Exclamation}}));
}

}  // namespace
}  // namespace vantrel::testing
