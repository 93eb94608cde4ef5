#include "serve/serve_arguments.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

struct OriginCase {
    const char* name;
    const char* given;
    const char* normal;  // nullptr: refused
};

class NormalOriginTest : public ::testing::TestWithParam<OriginCase> {};

TEST_P(NormalOriginTest, IsWrittenAsBrowsersSendIt) {
    const auto& c = GetParam();
    if (!c.normal) {
        EXPECT_THROW(NormalOrigin(c.given), ServeUsageError);
        return;
    }
    EXPECT_EQ(NormalOrigin(c.given), c.normal);
}

INSTANTIATE_TEST_SUITE_P(
    Origins, NormalOriginTest,
    ::testing::Values(
        OriginCase{"Https", "https://Till.Example", "https://till.example"},
        OriginCase{"DefaultPortDropped", "https://till.example:443", "https://till.example"},
        OriginCase{"OtherPortKept", "http://localhost:08080", "http://localhost:8080"},
        OriginCase{"Path", "https://till.example/", nullptr}, OriginCase{"Wildcard", "*", nullptr},
        OriginCase{"Null", "null", nullptr},
        OriginCase{"Credentials", "https://a@till.example", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ServeArguments, ReadEveryWordInBothForms) {
    const ServeRequest request =
        ParseServeArguments({"--port", "0", "--allow-origin=https://a.example", "--allow-origin",
                             "https://a.example", "--max-size", "2", "--rate=7"});
    EXPECT_EQ(request.port, 0);
    EXPECT_EQ(request.origins, std::vector<std::string>{"https://a.example"});
    EXPECT_EQ(request.maxBodyBytes, 2u << 20);
    EXPECT_EQ(request.requestsPerSecond, 7);
}

TEST(ServeArguments, RefuseWhatTheyDoNotTake) {
    for (const auto& words : std::vector<std::vector<std::string>>{{"--port", "65536"},
                                                                   {"--port"},
                                                                   {"--rate", "0"},
                                                                   {"--max-size", "x"},
                                                                   {"--dry-run"}}) {
        EXPECT_THROW(ParseServeArguments(words), ServeUsageError) << words[0];
    }
}

}  // namespace
}  // namespace vantrel
