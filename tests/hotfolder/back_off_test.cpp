#include "hotfolder/back_off.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using std::chrono::milliseconds;

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
