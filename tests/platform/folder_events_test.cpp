#include "platform/folder_events.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <filesystem>

#include "support/temp_dir.h"

namespace vantrel::testing {
namespace {

using std::chrono::milliseconds;

// The changes reported within a second, until `wanted` is among them.
bool Reported(FolderEvents& events, const FolderChange& wanted) {
    for (int i = 0; i < 10; ++i) {
        const auto changes = events.wait(milliseconds(100)).changes;
        if (std::find(changes.begin(), changes.end(), wanted) != changes.end()) return true;
    }
    return false;
}

TEST(FolderEvents, AFileClosedAfterWritingOrMovedInIsReported) {
    TempDir watched;
    TempDir elsewhere;
    auto stop = CatchStopSignals();
    auto events = WatchFolders({watched.path().string(), elsewhere.path().string()}, *stop);
    watched.write("written.prn", "abc");
    EXPECT_TRUE(Reported(*events, {0, "written.prn"}));
    std::filesystem::rename(elsewhere.write("moved.prn", "x"), watched.file("moved.prn"));
    EXPECT_TRUE(Reported(*events, {0, "moved.prn"}));
}

TEST(FolderEvents, PollingReportsEveryFolderForAFullLook) {
    auto stop = CatchStopSignals();
    auto events = PollFolders({"/a", "/b"}, *stop, milliseconds(50));
    EXPECT_TRUE(Reported(*events, {1, ""}));
}

TEST(StopSignals, SigtermEndsTheWaitAndTheProgramGoesOn) {
    auto stop = CatchStopSignals();
    TempDir watched;
    auto events = WatchFolders({watched.path().string()}, *stop);
    ASSERT_FALSE(stop->requested());
    ::raise(SIGTERM);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(events->wait(milliseconds(60000)).stop);
    EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(60000)) << "not woken";
    EXPECT_TRUE(stop->requested());
}

}  // namespace
}  // namespace vantrel::testing
