#include "autoprint/settle_rule.h"

#include <gtest/gtest.h>

#include "autoprint/back_off.h"

namespace vantrel {
namespace {

using std::chrono::milliseconds;
constexpr int kFullLookEveryMs = 5000;

// A file written in pieces: each write grows it and stamps it with the write's time.
struct SettleCase {
    const char* name;
    int settleMs;
    std::vector<int> writesAtMs;
    bool closedAfterEachWrite;  // noticed at each write; otherwise only by the full looks
    int takenAtMs;              // when the rule first says it settled
};

class SettleRule : public ::testing::TestWithParam<SettleCase> {};

// The file as a look finds it: not there before the first write.
std::optional<FileIdentity> FileAt(const SettleCase& c, int ms) {
    std::optional<FileIdentity> identity;
    for (int write : c.writesAtMs) {
        if (write <= ms)
            identity = FileIdentity{1, 1, (identity ? identity->size : 0) + 100, write};
    }
    return identity;
}

// Runs the rule millisecond by millisecond as the service does: looks on events and full looks,
// and the due looks. Returns when it first settled, and how big the file was then.
std::pair<int, std::uint64_t> FirstSettled(const SettleCase& c) {
    SettleTracker tracker{milliseconds(c.settleMs)};
    const SteadyTime start{};
    for (int ms = 0; ms < 20000; ++ms) {
        const SteadyTime now = start + milliseconds(ms);
        const bool written = std::count(c.writesAtMs.begin(), c.writesAtMs.end(), ms) > 0;
        if ((written && c.closedAfterEachWrite) || ms % kFullLookEveryMs == 0) {
            tracker.note("f.prn", FileAt(c, ms), now);
        }
        for (const auto& name : tracker.takeDue(now)) {
            if (tracker.settled(name, FileAt(c, ms), now)) return {ms, FileAt(c, ms)->size};
        }
    }
    return {-1, 0};
}

TEST_P(SettleRule, TakesTheFileWholeOnceItStopsChanging) {
    const auto [at, size] = FirstSettled(GetParam());
    EXPECT_EQ(at, GetParam().takenAtMs);
    EXPECT_EQ(size, 100 * GetParam().writesAtMs.size());
}

std::vector<int> TenPiecesOverThreeSeconds(int startMs) {
    std::vector<int> times;
    for (int i = 0; i < 10; ++i) times.push_back(startMs + 300 * i);
    return times;
}

INSTANTIATE_TEST_SUITE_P(
    Writers, SettleRule,
    ::testing::Values(SettleCase{"OneWriteSettlesAfterTheSettleTime", 1000, {100}, true, 1100},
                      SettleCase{"PiecesWaitForTheLastOne", 1000, TenPiecesOverThreeSeconds(100),
                                 true, 3800},
                      SettleCase{"AWriterThatKeepsItOpenIsFoundByTheFullLooks", 1000,
                                 TenPiecesOverThreeSeconds(4500), false, 9000},
                      SettleCase{"NoSettleTimeTakesItAtTheFirstLook", 0, {100}, true, 100},
                      SettleCase{"ALongerSettleTimeWaitsLonger", 2500, {100, 1500}, true, 4000},
                      // The full looks find the file unchanged: they must not start it over.
                      SettleCase{"ASettleTimePastTheFullLooks", 6000, {100}, true, 6100}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BackOff, DoublesUpToTheLongestWaitAndStartsOverAfterASuccess) {
    BackOff backOff(milliseconds(1000), milliseconds(30000));
    std::vector<long long> waits;
    for (int i = 0; i < 7; ++i) waits.push_back(backOff.next().count());
    EXPECT_EQ(waits, (std::vector<long long>{1000, 2000, 4000, 8000, 16000, 30000, 30000}));
    backOff.reset();
    EXPECT_EQ(backOff.next(), milliseconds(1000));
}

}  // namespace
}  // namespace vantrel
