#include "autoprint/hot_folder_service.h"

#include <algorithm>
#ifndef _WIN32
#include <sys/stat.h>
#endif
#include <filesystem>
#include <fstream>

#include "autoprint/journal_lines.h"
#include "autoprint/spooled_jobs_record.h"
#include "support/print_rig.h"

namespace vantrel::testing {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

// Thrown by a test's hook: the service ends there, as at a SIGKILL.
struct Killed {};

// The service on fakes, on a clock that moves only while it waits: each wait moves the clock on
// to its end or to the next step of the script, whichever comes first, and tells of the files
// the step dropped. The run stops at the script's end.
class ServiceTest : public PrintRig, public FolderEvents, public StopSignals {
  protected:
    using Script = std::vector<std::pair<int, std::function<void()>>>;

    ServiceTest() {
        fs::create_directory(in);
        spooler.installed = {{"Label", "usb://a"}, {"Label_Printer", "usb://b"}};
    }
    // Runs one service through the script, with steps at ms from its start; a hook that throws
    // Killed ends it there, as a SIGKILL would, leaving the records as they stand.
    void Run(Script script, std::optional<std::string> printer = "Label") {
        script_ = std::move(script);
        clock_ = {};
        HotFolderService service(
            {{{in, printer}},
             milliseconds(1000),
             copies,
             record,
             options,
             spooledRecord,
             waits,
             dir.file("state/autoprint-bindings")},
            {spooler, files, *this, *this, [this] { return clock_; },
             [this](const std::string&) {  // the lock itself is the integration tests' part
                 FolderWatch watch;
                 watch.holder = watchedBy;
                 if (watchedBy.empty()) watch.lock = std::make_unique<FileLock>();
                 return watch;
             }},
            [this](const std::string& line) { journal.push_back(line); });
        try {
            service.run();
        } catch (const Killed&) {
        }
    }
    void Drop(const std::string& name, const std::string& bytes) {
        WriteFile((fs::path(in) / name).string(), bytes);
        dropped_.push_back(name);
    }
    // The printing marks in the folder.
    auto Marks() const {
        return std::ranges::count_if(fs::directory_iterator(in), [](const auto& entry) {
            return entry.path().filename().string().starts_with(".vantrel-printing-");
        });
    }
    std::size_t Said(const std::string& text) const {
        return std::count_if(journal.begin(), journal.end(),
                             [&](const auto& line) { return line.find(text) != line.npos; });
    }

    FolderWake wait(milliseconds timeout) override {
        if (spooler.documents.size() > printedAt.size()) {
            printedAt.push_back(static_cast<int>((clock_ - SteadyTime{}) / milliseconds(1)));
        }
        const SteadyTime end = clock_ + std::max(timeout, milliseconds(1));
        clock_ =
            script_.empty() ? end : std::min(end, SteadyTime{} + milliseconds(script_[0].first));
        while (!script_.empty() && SteadyTime{} + milliseconds(script_[0].first) <= clock_) {
            script_.front().second();
            script_.erase(script_.begin());
        }
        FolderWake wake{{}, script_.empty()};
        for (auto& name : std::exchange(dropped_, {})) wake.changes.push_back({0, name});
        return wake;
    }
    std::string pollingReason() const override { return polling; }
    bool requested() override { return stopNow || script_.empty(); }
    bool waitFor(milliseconds) override { return requested(); }

    std::string in = dir.file("in");
    std::string record = dir.file("state/autoprint-kept");
    std::string spooledRecord = dir.file("state/autoprint-spooled");
    int copies = 1;
    bool waits = false;  // --wait
    std::string polling;
    std::vector<std::string> journal;
    std::vector<int> printedAt;  // the clock when each document arrived
    bool stopNow = false;        // a request to stop came
    std::string watchedBy;       // another AutoPrint that holds the folder

  private:
    Script script_;
    SteadyTime clock_{};
    std::vector<std::string> dropped_;
};

// One journal line per outage, and the back-off starts over from its first wait after a success:
// the second outage's file prints 1 s + 2 s after it settled, not after the first outage's 8 s.
TEST_F(ServiceTest, OutagesAreToldOnceAndTheBackOffStartsOverAfterASuccess) {
    polling = "the inotify watches are used up";
    Run({{0, [&] { spooler.listFails = true, Drop("a.prn", "A"); }},
         {7500, [&] { spooler.listFails = false; }},
         {10000, [&] { spooler.listFails = true, Drop("b.prn", "B"); }},
         {12500, [&] { spooler.listFails = false; }},
         {30000, [] {}}});
    EXPECT_EQ(printedAt, (std::vector<int>{8000, 14000}));
    EXPECT_EQ(Said("spooler unreachable: "), 2u);
    EXPECT_EQ(Said("printing again on Label"), 2u);
    EXPECT_EQ(Said("instead of being told: the inotify watches are used up"), 1u);
}

// What the journal says of a name is one line that moves no terminal's cursor.
TEST_F(ServiceTest, ControlCharactersOfANameAreSpelledOutInTheJournal) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows names hold no control characters";
#endif
    Run({{0, [&] { Drop("evil\x1b]0;owned\x07\n.prn", "E"); }}, {3000, [] {}}});
    ASSERT_EQ(Said("spooled evil"), 1u);
    for (const auto& line : journal) {
        EXPECT_EQ(line.find_first_of("\x1b\x07\n"), line.npos) << line;
    }
}

// Texts from outside (the spooler's reasons, errors, another AutoPrint's words) are written with
// their control characters spelled out too.
TEST(JournalLines, TextsFromOutsideAreSpelledOut) {
    const std::string why = "jam\n\x1b[2J";
    // clang-format off
    const std::string lines[] = {
        HeldLine("a", "P", why), CompletionUnknownLine("a", "P", why),
        UndeletableLine("spooled a", why), FailedLine("a", "P", why, "a"),
        FailedUnmovedLine("a", "P", why, why), WithdrawnLine("a", "P", why),
        FolderUnreadableLine("/in", why), PollingLine(why, milliseconds(5000)),
        RecordUnsavedLine("/r", why), WatchedElsewhereLine("/in", why),
        UnwatchableLine("/in", why), RecordUnreadableLine("/r", why),
        PrintedElsewhereLine("a", why), BindingUnsavedLine("/in", why),
        SpoolerUnreachableLine(why), SpoolerBusyLine(why), PrinterMissingLine("/in", why)};
    // clang-format on
    for (const auto& line : lines) {
        EXPECT_TRUE(line.find_first_of("\n\x1b") == line.npos &&
                    line.find("jam\\n\\e[2J") != line.npos)
            << line;
    }
}

// A printed file that cannot be deleted is remembered by name, whatever bytes the name holds,
// and the next run does not print it again, nor a refused one that cannot be moved to Failed/;
// a record that cannot be saved is told once.
TEST_F(ServiceTest, AKeptFileIsNotPrintedAgainByTheNextRun) {
    files.removeError = std::make_error_code(std::errc::permission_denied);
    files.beforeMove = [&](auto&, auto&) { return files.removeError; };
    spooler.failDocument = 2;
#ifdef _WIN32
    const char* name = "kept name.prn";
#else
    const char* name = "kept\nname.prn";
#endif
    Run({{0, [&] { Drop(name, "K"), Drop("r.prn", "R"); }}, {3000, [] {}}});
    Run({{0, [] {}}, {6000, [] {}}});
    EXPECT_EQ(spooler.documents.size(), 1u);
    EXPECT_EQ(Said("could not move it to Failed/: Permission denied (kept, not printed again)"),
              1u);
    EXPECT_EQ(ReadFile((fs::path(in) / "r.prn").string()), "R");
    // Nor does another user's AutoPrint, for the marks they keep; the marks go with the files.
    const auto own = std::pair(record, spooledRecord);
    std::tie(record, spooledRecord) = std::pair(dir.file("b/kept"), dir.file("b/spooled"));
    Run({{0, [] {}}, {3000, [] {}}});
    EXPECT_EQ(spooler.documents.size(), 1u);
    std::tie(record, spooledRecord) = own;
    fs::remove(fs::path(in) / name);
    Run({{0, [] {}}});
    EXPECT_EQ(Marks(), 1);  // r.prn's
    spooler.failDocument.reset();
    fs::remove(dir.file("state/autoprint-kept"));
    fs::create_directory(dir.file("state/autoprint-kept"));  // in the way of the record
    Run({{0, [&] { Drop("x.prn", "X"), Drop("y.prn", "Y"); }}, {3000, [] {}}});
    EXPECT_EQ(Said("could not save the record of kept files"), 1u);
}

// A printer argument that names no queue by itself binds the folder to none: the files go by the
// name each time, to the queue of that very name once there is one.
TEST_F(ServiceTest, ANameNoQueueHasBindsTheFolderToNone) {
    spooler.installed = {{"Label_Printer", "usb://b"}};
    Run({{0, [&] { Drop("a.prn", "A"); }}, {3000, [] {}}});
    spooler.installed.push_back({"Label", "usb://a"});
    Run({{0, [&] { Drop("b.prn", "B"); }}, {3000, [] {}}});
    ASSERT_EQ(spooler.printed().size(), 2u);
    EXPECT_EQ(spooler.printed()[0].deviceName, "Label_Printer");
    EXPECT_EQ(spooler.printed()[1].deviceName, "Label");
}

// A folder bound to a printer by its exact name never falls to one whose name begins with it, also
// after a restart.
TEST_F(ServiceTest, AFolderBoundByExactNameWaitsForItsOwnPrinter) {
    Run({{0, [] {}}});  // binds the folder to Label
    spooler.installed.erase(spooler.installed.begin());
    Run({{0, [&] { Drop("a.prn", "A"); }}, {5000, [] {}}});  // and so does the next run
    EXPECT_TRUE(spooler.documents.empty());
    EXPECT_TRUE(fs::exists(fs::path(in) / "a.prn"));
    EXPECT_EQ(Said("printer missing for " + in + ": the printer Label is gone (files kept"), 1u);
    // A job refused because its printer was removed meanwhile is no fault of the file's.
    spooler.installed = {{"Label", "usb://a"}};
    spooler.failDocument = 1;
    files.afterRead = [&](int, const std::string&) { spooler.unopenable = {"Label"}; };
    Run({{5000, [] {}}});
    EXPECT_TRUE(fs::exists(fs::path(in) / "a.prn"));
    EXPECT_EQ(Said("the printer Label is gone (files kept"), 2u);
}

// A file swapped after it settled (a link to another's file, or new content) is never read as
// it was looked at: nothing of it is printed, nothing is deleted or given up on, and what then
// stays there settles and prints once; so does a file replaced between its print and its delete.
TEST_F(ServiceTest, AFileSwappedAfterItSettledIsWithdrawnAndSettlesAgain) {
    const std::string secret = dir.write("secret", "private");
    const std::string path = (fs::path(in) / "bait.prn").string();
    std::error_code noLink;
    int opens = 0;  // the first open finds new content, the second a link
    files.beforeOpen = [&](const std::string&) {
        if (++opens == 1) WriteFile(path, "new content");
        if (opens == 2) fs::remove(path), fs::create_symlink(secret, path, noLink);
    };
    Run({{0, [&] { Drop("bait.prn", "old"); }}, {4000, [] {}}});  // before the next full look
    if (noLink) GTEST_SKIP() << "no symbolic links here: " << noLink.message();
    EXPECT_TRUE(spooler.printed().empty());
    EXPECT_EQ(Said("withdrawn bait.prn on Label: "), 2u);
    EXPECT_EQ(ReadFile(secret), "private");
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_FALSE(fs::exists(fs::path(in) / "Failed"));
    fs::remove(path);
    files.beforeRemove = [&](const std::string&) {
        if (opens == 3) WriteFile(path, "replaced");
    };
    Run({{0, [&] { Drop("bait.prn", "whole"); }}, {5000, [] {}}});  // opens: 3 and 4
    ASSERT_EQ(spooler.printed().size(), 2u);
    EXPECT_EQ(spooler.printed()[1].data, "replaced");
    EXPECT_EQ(Said("spooled bait.prn on Label (1 copy, 5 bytes) but it changed meanwhile"), 1u);
    EXPECT_FALSE(fs::exists(path));
}

// A file still being written prints only once it stayed the same for the settle time, also when
// the writer's later writes come without an event; a kept file replaced by another of its name
// is a new file, whose mark takes the place of the old one's.
TEST_F(ServiceTest, AFilePrintsOnceItSettledAndAReplacedKeptFileIsNew) {
    files.removeError = std::make_error_code(std::errc::permission_denied);
    const std::string path = (fs::path(in) / "a.prn").string();
    Run({{0, [&] { Drop("a.prn", "A"); }},
         {800, [&] { std::ofstream(path, std::ios::app) << "B"; }},
         {3000, [&] { Drop("a.prn", "new A"); }},
         {5000, [] {}}});
    ASSERT_EQ(spooler.printed().size(), 2u);
    EXPECT_EQ(spooler.printed()[0].data, "AB");
    EXPECT_GE(printedAt[0], 1800);
    EXPECT_EQ(spooler.printed()[1].data, "new A");
    EXPECT_EQ(Marks(), 1);
}

// A folder that goes, or cannot be read, is told of once, and again once it is back.
TEST_F(ServiceTest, AFolderThatGoesAndComesBackIsToldOfOnceEach) {
    Run({{1000, [&] { fs::remove_all(in); }},
         {16000, [&] { fs::create_directory(in), Drop("a.prn", "A"); }},
         {22000, [] {}}});
    EXPECT_EQ(Said("cannot read " + in + ": "), 1u);
    EXPECT_EQ(Said("reading " + in + " again"), 1u);
    EXPECT_EQ(spooler.printed().size(), 1u);
}

// The service killed at each point of a file's life, then started again over the same records
// and files: each copy is printed exactly once, and the file is gone once it was.
// Where the first run dies: at the at-th open, read, release or delete; or never, its run ending
// while the first job is still pending.
enum class Hook { Open, Create, Read, Finish, Remove, JobPending };
struct KillPoint {
    std::string name;
    bool wait;
    Hook hook;
    int at;
};

class ServiceKilledTest : public ServiceTest, public ::testing::WithParamInterface<KillPoint> {};

const KillPoint kKillPoints[] = {
    {"BeforeSpooling", false, Hook::Open, 1},
    {"BetweenTwoCopies", false, Hook::Open, 2},
    {"AfterAJobWasCreatedBeforeItWasNoted", false, Hook::Create, 2},
    {"WhileACopyIsSent", false, Hook::Read, 2},
    {"AfterACopyWasSentBeforeItsJobWasNoted", false, Hook::Finish, 1},
    {"AfterSpoolingBeforeCompletion", true, Hook::JobPending, 0},
    {"AfterCompletionBeforeTheDelete", true, Hook::Remove, 1},
    {"AfterSpoolingBeforeTheDelete", false, Hook::Remove, 1},
};

TEST_P(ServiceKilledTest, EveryCopyIsPrintedOnceAcrossTheRestart) {
    copies = 2;
    waits = GetParam().wait;
    const std::string big(20000, 'B');
    const auto kill = [calls = 0, at = GetParam().at](auto&&...) mutable {
        if (++calls == at) throw Killed();
    };
    const Hook hook = GetParam().hook;
    hook == Hook::Open     ? void(files.beforeOpen = kill)
    : hook == Hook::Create ? void(spooler.afterCreate = kill)
    : hook == Hook::Read   ? void(files.afterRead = kill)
    : hook == Hook::Finish ? void(spooler.afterFinish = kill)
    : hook == Hook::Remove ? void(files.beforeRemove = kill)
                           : void(spooler.jobStates = {{1, {{JobState::Pending, {}}}}});
    Run({{0, [&] { Drop("a.prn", big); }}, {4000, [] {}}});
    spooler.jobStates.clear();
    spooler.afterCreate = nullptr;
    // A job of another user named like the copy counts for nothing.
    const std::string path = (fs::path(in) / "a.prn").string();
    spooler.documents.push_back({"Label",
                                 SpooledCopyName(path, *files.identityOf(path), 1),
                                 {},
                                 "planted",
                                 true,
                                 false,
                                 "mallory"});
    Run({{0, [] {}}, {4000, [] {}}});
    std::erase_if(spooler.documents, [](const auto& d) { return d.owner != "me"; });
    ASSERT_EQ(spooler.printed().size(), 2u);
    for (const auto& document : spooler.printed()) EXPECT_EQ(document.data, big);
    EXPECT_NE(spooler.printed()[0].documentName, spooler.printed()[1].documentName);
    EXPECT_TRUE(spooler.printed()[0].documentName.starts_with("Vantrel: a.prn "));
    EXPECT_FALSE(fs::exists(fs::path(in) / "a.prn"));
    EXPECT_TRUE(SpooledJobsRecord(spooledRecord).paths().empty());
    EXPECT_EQ(Marks(), 0);
    EXPECT_TRUE(std::ranges::all_of(spooler.documents, [](const auto& d) {
        return d.finished || d.cancelled;  // nothing left half-made on the queue
    }));
    EXPECT_EQ(Said(waits ? "completed a.prn on Label (2 copies, 20000 bytes)" : "spooled a.prn"),
              1u);
}

INSTANTIATE_TEST_SUITE_P(KillPoints, ServiceKilledTest, ::testing::ValuesIn(kKillPoints),
                         [](const auto& info) { return info.param.name; });

// With --wait a file goes by how its jobs ended: completed, deleted; aborted or cancelled, to
// Failed/ with the spooler's reason; lost by the spooler, kept and never printed again; while
// its printer holds its job the file stays and the folder's other files go on printing.
TEST_F(ServiceTest, WithWaitAFileGoesByHowItsJobsEnded) {
    waits = true;
    const JobStatus stopped{JobState::Stopped, "the printer is not responding"};
    spooler.jobStates = {{1, {{JobState::Processing, {}}, {JobState::Aborted, "jammed"}}},
                         {2, {{JobState::Cancelled, {}}}},
                         {3, {{}}},
                         {4, {stopped}}};
    Run({{0, [&] { Drop("1.prn", "1"); }},
         {2000, [&] { Drop("2.prn", "2"); }},
         {4000, [&] { Drop("3.prn", "3"); }},
         {6000, [&] { Drop("4.prn", "4"); }},
         {8000, [&] { Drop("5.prn", "5"); }},
         {20000, [] {}}});
    EXPECT_EQ(Said("failed 1.prn on Label: job 1 was aborted: jammed"), 1u);
    EXPECT_EQ(Said("failed 2.prn on Label: job 2 was cancelled"), 1u);
    EXPECT_EQ(Said("completion unknown for 3.prn on Label: job 3 is no longer known"), 1u);
    EXPECT_EQ(Said("held 4.prn on Label: job 4 stopped: the printer is not responding"), 1u);
    EXPECT_EQ(Said("completed 5.prn on Label (1 copy, 1 byte)"), 1u);
    EXPECT_TRUE(fs::exists(fs::path(in) / "Failed" / "1.prn"));
    EXPECT_TRUE(fs::exists(fs::path(in) / "Failed" / "2.prn"));
    EXPECT_TRUE(fs::exists(fs::path(in) / "3.prn"));
    EXPECT_TRUE(fs::exists(fs::path(in) / "4.prn"));
    EXPECT_FALSE(fs::exists(fs::path(in) / "5.prn"));
    spooler.jobStates.clear();
    Run({{0, [] {}}, {4000, [] {}}});  // job 4 ends now; 3.prn stays unprinted
    EXPECT_EQ(spooler.documents.size(), 5u);
    EXPECT_FALSE(fs::exists(fs::path(in) / "4.prn"));
    EXPECT_EQ(Said("completed 4.prn"), 1u);
}

// A printer paused while files wait on it is told once, and they stay until it prints them. The
// bound printer is asked for by its name: no full listing for the look-up.
TEST_F(ServiceTest, ABoundPrinterIsAskedForByNameAndAPauseIsToldOnce) {
    waits = true;
    spooler.namesPrinters = true;
    spooler.paused = {"Label"};
    spooler.jobStates = {{1, {{JobState::Pending, {}}}}, {2, {{JobState::Pending, {}}}}};
    Run({{0, [&] { Drop("a.prn", "A"); }},
         {2000, [&] { Drop("b.prn", "B"); }},
         {9000, [&] { EXPECT_TRUE(fs::exists(fs::path(in) / "a.prn")); }},
         {10000, [&] { spooler.paused.clear(), spooler.jobStates.clear(); }},
         {15000, [] {}}});
    EXPECT_EQ(Said("Label is paused: the jobs wait in its queue"), 1u);
    EXPECT_EQ(Said("completed a.prn"), 1u);
    EXPECT_EQ(Said("completed b.prn"), 1u);
    EXPECT_EQ(spooler.listings, 2);  // the print's own, one per file; none for the look-up
}

// A copy whose document never arrived whole, its run killed while it was sent, is withdrawn and
// sent again at once, by the job number noted before the document; a copy noted by an older
// release without its job's number is never sent again, the file kept; and a file rewritten
// between two runs is a new file, printed whole.
TEST_F(ServiceTest, AHalfSentCopyIsSentAgainAtOnceAndARewrittenFileIsANewOne) {
    copies = 2;
    files.afterRead = [&](int read, auto&) {
        if (read == 2) throw Killed();
    };
    Run({{0, [&] { Drop("a.prn", std::string(40000, 'A')); }}, {3000, [] {}}});
    files.afterRead = nullptr;
    spooler.documents[0].cancelled = false;  // the killed run's job is held, half-sent
    Run({{0, [] {}}, {1500, [] {}}});
    EXPECT_TRUE(spooler.documents[0].cancelled);
    ASSERT_EQ(spooler.printed().size(), 2u);
    EXPECT_EQ(spooler.printed()[0].data, std::string(40000, 'A'));
    EXPECT_FALSE(fs::exists(fs::path(in) / "a.prn"));

    spooler.afterFinish = [&] { throw Killed(); };
    Run({{0, [&] { Drop("b.prn", "B"); }}, {3000, [] {}}});
    spooler.afterFinish = nullptr;
    WriteFile((fs::path(in) / "b.prn").string(), "new B");
    Run({{0, [] {}}, {4000, [] {}}});
    ASSERT_EQ(spooler.printed().size(), 5u);
    EXPECT_EQ(spooler.printed()[4].data, "new B");

    Drop("c.prn", "C");
    const auto c = files.identityOf((fs::path(in) / "c.prn").string());
    SpooledJobsRecord(spooledRecord)
        .put((fs::path(in) / "c.prn").string(), {*c, "Label", 1, {kBeingSent}});
    Run({{0, [] {}}, {3000, [] {}}});
    EXPECT_EQ(spooler.printed().size(), 5u);
    EXPECT_EQ(Said("completion unknown for c.prn on Label"), 1u);
    EXPECT_TRUE(fs::exists(fs::path(in) / "c.prn"));
}

// The spooler's job limit and a request to stop are no outage of the spooler: each is told as
// what it is, and the file stays.
TEST_F(ServiceTest, AJobLimitAndAStopAreToldAsWhatTheyAre) {
    const struct {
        SpoolError error;
        bool stops;
        const char* line;
    } cases[] = {
        {SpoolError("too many active jobs", SpoolError::Kind::Busy), false,
         "the print server takes no more jobs for now (too many active jobs); files kept, "
         "retrying"},
        {SpoolError("a request to stop came while the document was sent",
                    SpoolError::Kind::Unreachable),
         true, "stopping: a.prn kept (a request to stop came before it was printed)"},
    };
    for (const auto& each : cases) {
        journal.clear();
        spooler.onStart = [&] {
            stopNow = each.stops;
            throw each.error;
        };
        Run({{0, [&] { Drop("a.prn", "A"); }}, {9000, [] {}}});
        EXPECT_EQ(Said(each.line), 1u) << each.line;
        EXPECT_EQ(Said("unreachable"), 0u) << each.line;
        EXPECT_TRUE(fs::exists(fs::path(in) / "a.prn")) << each.line;
    }
}

// A stop that comes while the first of two due files prints begins no second one.
TEST_F(ServiceTest, AStopDuringAFileBeginsNoFurtherDueFile) {
    spooler.afterFinish = [&] { stopNow = true; };
    Run({{0, [&] { Drop("a.prn", "A"), Drop("b.prn", "B"); }}, {9000, [] {}}});
    EXPECT_EQ(spooler.documents.size(), 1u);
    EXPECT_TRUE(fs::exists(fs::path(in) / "b.prn"));
}

// A file that another AutoPrint, of another user or machine, began is left to it while its mark
// is there, and said so once; a mark taken away frees it.
TEST_F(ServiceTest, AFileAnotherAutoPrintBeganIsLeftToIt) {
    Drop("a.prn", "A");
    const std::string path = (fs::path(in) / "a.prn").string();
    const auto mark = fs::path(in) / PrintingMarkName(path, *files.identityOf(path));
    WriteFile(mark.string(), "host other, process 7 of user bob\n");
    Run({{0, [] {}}, {12000, [] {}}});
    EXPECT_TRUE(spooler.documents.empty());
    EXPECT_EQ(Said("left a.prn to host other, process 7 of user bob, which began"), 1u);
    fs::remove(mark);
    Run({{0, [] {}}, {3000, [] {}}});
    EXPECT_EQ(spooler.printed().size(), 1u);
    EXPECT_FALSE(fs::exists(path));
}

// A service killed while it sent a copy, and started again while another AutoPrint has taken the
// folder over, still finishes the file it began: the other leaves it alone, for its mark.
TEST_F(ServiceTest, AFileItBeganIsFinishedWhileAnotherWatchesTheFolder) {
    copies = 2;
    files.afterRead = [calls = 0](auto&&...) mutable {
        if (++calls == 2) throw Killed();
    };
    Run({{0, [&] { Drop("a.prn", "A"); }}, {4000, [] {}}});
    files.afterRead = nullptr;
    watchedBy = "host other, process 7 of user bob";
    Drop("b.prn", "B");
    Run({{0, [] {}}, {12000, [] {}}});
    EXPECT_EQ(Said("is watched by host other"), 1u);
    ASSERT_EQ(spooler.printed().size(), 2u);
    EXPECT_FALSE(fs::exists(fs::path(in) / "a.prn"));
    EXPECT_TRUE(fs::exists(fs::path(in) / "b.prn"));  // the other's to print
}

// One of the same user on the same host shares the record of files in print, so it finishes the
// file itself; this one never touches a file the other may be sending at that moment.
TEST_F(ServiceTest, AFileItBeganIsLeftToAWatcherOfTheSameUser) {
    copies = 2;
    files.afterRead = [calls = 0](auto&&...) mutable {
        if (++calls == 2) throw Killed();
    };
    Run({{0, [&] { Drop("a.prn", "A"); }}, {4000, [] {}}});
    files.afterRead = nullptr;
    const std::string me = ThisProcessName();
    watchedBy = me.substr(0, me.find(',')) + ", process 7" + me.substr(me.rfind(" of user "));
    const std::size_t printed = spooler.printed().size();
    Run({{0, [] {}}, {12000, [] {}}});
    EXPECT_EQ(spooler.printed().size(), printed);
    EXPECT_TRUE(fs::exists(fs::path(in) / "a.prn"));
}

// Services of other folders share the record: none loses another's entries.
TEST(SpooledJobsRecordTest, EachServiceKeepsTheOthersEntries) {
    TempDir dir;
    const std::string path = dir.file("state/spooled");
    SpooledJobsRecord one(path), two(path);
    const SpooledFile a{{1, 2, 3, 4}, "Label Printer", 2, {7, kBeingSent}};
    const SpooledFile b{{5, 6, 7, 8}, "\"Q\"", 1, {}};
    EXPECT_FALSE(one.put("/in/a \"x\"\n.prn", a));
    EXPECT_FALSE(two.put("/other/b.prn", b));
    SpooledJobsRecord read(path);
    ASSERT_NE(read.find("/in/a \"x\"\n.prn"), nullptr);
    EXPECT_EQ(*read.find("/in/a \"x\"\n.prn"), a);
    ASSERT_NE(read.find("/other/b.prn"), nullptr);
    EXPECT_EQ(*read.find("/other/b.prn"), b);
}

// The record is a log: each change one line, later lines over earlier ones; a damaged line is
// skipped and counted; the file is written anew once it holds far more lines than entries; and
// a pipe put in its place is refused without waiting for a writer.
TEST(SpooledJobsRecordTest, AChangeIsOneLineAndTheLogIsFolded) {
    TempDir dir;
    const std::string path = dir.file("state/spooled");
    SpooledJobsRecord one(path);
    for (int job = 1; job <= 300; ++job)
        EXPECT_FALSE(one.put("/in/a", {{1, 2, 3, 4}, "P", 1, {job}, job % 2 == 0}, job % 2 == 0));
    const std::string text = ReadFile(path);
    EXPECT_LT(std::count(text.begin(), text.end(), '\n'), 100);
    std::ofstream(path, std::ios::app) << "damaged line\n";
    SpooledJobsRecord two(path);
    EXPECT_EQ(two.skippedLines(), 1u);
    ASSERT_NE(two.find("/in/a"), nullptr);
    EXPECT_EQ(*two.find("/in/a"), (SpooledFile{{1, 2, 3, 4}, "P", 1, {300}, true}));
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    SpooledJobsRecord pipe(dir.file("pipe"));
    EXPECT_EQ(pipe.unreadable(), "it is not a plain file");
#endif
}

}  // namespace
}  // namespace vantrel::testing
