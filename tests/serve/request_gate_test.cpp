#include "serve/request_gate.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

const std::string kToken(64, 'a');
const GateRules kRules{{"https://till.example"}, kToken};

HttpRequest Request(HttpFields headers, std::string method = "GET") {
    return {std::move(method), "/printers", 9632, {}, std::move(headers)};
}

std::optional<std::string> Header(const HttpAnswer& answer, const std::string& name) {
    HttpRequest asHeaders{{}, {}, 0, {}, answer.headers};
    return asHeaders.header(name);
}

struct Case {
    const char* name;
    HttpFields headers;
    std::string method;
    int status;  // 0: let through
};

class RequestGateTest : public ::testing::TestWithParam<Case> {};

TEST_P(RequestGateTest, HoldsTheRequestToTheRules) {
    const auto& c = GetParam();
    const GateOutcome outcome = CheckRequest(Request(c.headers, c.method), kRules);
    ASSERT_EQ(outcome.answer.has_value(), c.status != 0);
    if (!outcome.answer) return;
    EXPECT_EQ(outcome.answer->status, c.status);
    // A page that is not allowed can read nothing of any answer.
    if (c.status == 403 || c.status == 421) {
        EXPECT_FALSE(Header(*outcome.answer, "Access-Control-Allow-Origin"));
    }
}

const std::string kBearer = "Bearer " + kToken;

INSTANTIATE_TEST_SUITE_P(
    Requests, RequestGateTest,
    ::testing::Values(
        Case{"Script", {{"Host", "127.0.0.1:9632"}, {"Authorization", kBearer}}, "GET", 0},
        Case{"AllowedPage",
             {{"Host", "LocalHost:9632"},
              {"Origin", "https://till.example"},
              {"authorization", "bearer " + kToken}},
             "POST",
             0},
        Case{"Ipv6Host", {{"Host", "[::1]:9632"}, {"Authorization", kBearer}}, "GET", 0},
        Case{"RebindingHost",
             {{"Host", "evil.example:9632"}, {"Authorization", kBearer}},
             "GET",
             421},
        Case{"LoopbackNameAsSuffix",
             {{"Host", "localhost.evil.example:9632"}, {"Authorization", kBearer}},
             "GET",
             421},
        Case{"OtherPort", {{"Host", "localhost:80"}, {"Authorization", kBearer}}, "GET", 421},
        Case{"NoHost", {{"Authorization", kBearer}}, "GET", 421},
        Case{"OtherPage",
             {{"Host", "localhost:9632"},
              {"Origin", "https://evil.example"},
              {"Authorization", kBearer}},
             "POST",
             403},
        Case{"NullOrigin",
             {{"Host", "localhost:9632"}, {"Origin", "null"}, {"Authorization", kBearer}},
             "POST",
             403},
        Case{"NoToken",
             {{"Host", "localhost:9632"}, {"Origin", "https://till.example"}},
             "POST",
             401},
        Case{"WrongToken",
             {{"Host", "localhost:9632"}, {"Authorization", "Bearer " + std::string(64, 'b')}},
             "GET",
             401},
        Case{"TokenCutShort",
             {{"Host", "localhost:9632"}, {"Authorization", kBearer.substr(0, 40)}},
             "GET",
             401},
        Case{"TokenAsBasic",
             {{"Host", "localhost:9632"}, {"Authorization", "Basic " + kToken}},
             "GET",
             401},
        Case{"PreflightOfOtherPage",
             {{"Host", "localhost:9632"}, {"Origin", "https://evil.example"}},
             "OPTIONS",
             403},
        Case{"PreflightWithoutOrigin", {{"Host", "localhost:9632"}}, "OPTIONS", 403}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RequestGate, MissingAndWrongTokensGetTheSameAnswer) {
    const auto missing = CheckRequest(Request({{"Host", "localhost:9632"}}), kRules);
    const auto wrong = CheckRequest(
        Request({{"Host", "localhost:9632"}, {"Authorization", "Bearer " + kToken + "0"}}), kRules);
    ASSERT_TRUE(missing.answer && wrong.answer);
    EXPECT_EQ(missing.answer->body, wrong.answer->body);
    EXPECT_EQ(missing.answer->headers, wrong.answer->headers);
    EXPECT_EQ(Header(*missing.answer, "WWW-Authenticate"), "Bearer");
}

TEST(RequestGate, AnswersAnAllowedPagesPreflightWithoutTheToken) {
    HttpFields headers{{"Host", "localhost:9632"}, {"Origin", "https://till.example"}};
    const auto plain = CheckRequest(Request(headers, "OPTIONS"), kRules);
    headers.emplace_back("Access-Control-Request-Private-Network", "true");
    const auto privateNetwork = CheckRequest(Request(headers, "OPTIONS"), kRules);
    ASSERT_TRUE(plain.answer && privateNetwork.answer);
    EXPECT_EQ(plain.answer->status, 204);
    EXPECT_EQ(Header(*plain.answer, "Access-Control-Allow-Origin"), "https://till.example");
    EXPECT_EQ(Header(*plain.answer, "Access-Control-Allow-Headers"),
              "Authorization, Content-Type, Idempotency-Key");
    EXPECT_FALSE(Header(*plain.answer, "Access-Control-Allow-Private-Network"));
    EXPECT_EQ(Header(*privateNetwork.answer, "Access-Control-Allow-Private-Network"), "true");
}

}  // namespace
}  // namespace vantrel
