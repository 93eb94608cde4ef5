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

// The head of a request: Host, Origin and Authorization, each left out when empty.
HttpFields Head(const std::string& host, const std::string& origin, const std::string& auth) {
    HttpFields fields;
    for (const auto& [name, value] :
         HttpFields{{"Host", host}, {"Origin", origin}, {"Authorization", auth}})
        if (!value.empty()) fields.emplace_back(name, value);
    return fields;
}

const std::string kPage = "https://till.example";

INSTANTIATE_TEST_SUITE_P(
    Requests, RequestGateTest,
    ::testing::Values(
        Case{"Script", Head("127.0.0.1:9632", "", kBearer), "GET", 0},
        Case{"AllowedPage", Head("LocalHost:9632", kPage, "bearer " + kToken), "POST", 0},
        Case{"Ipv6Host", Head("[::1]:9632", "", kBearer), "GET", 0},
        Case{"RebindingHost", Head("evil.example:9632", "", kBearer), "GET", 421},
        Case{"LoopbackNameAsSuffix", Head("localhost.evil.example:9632", "", kBearer), "GET", 421},
        Case{"OtherPort", Head("localhost:80", "", kBearer), "GET", 421},
        Case{"NoHost", Head("", "", kBearer), "GET", 421},
        Case{"OtherPage", Head("localhost:9632", "https://evil.example", kBearer), "POST", 403},
        Case{"NullOrigin", Head("localhost:9632", "null", kBearer), "POST", 403},
        Case{"NoToken", Head("localhost:9632", kPage, ""), "POST", 401},
        Case{"WrongToken", Head("localhost:9632", "", "Bearer " + std::string(64, 'b')), "GET",
             401},
        Case{"TokenCutShort", Head("localhost:9632", "", kBearer.substr(0, 40)), "GET", 401},
        Case{"TokenAsBasic", Head("localhost:9632", "", "Basic " + kToken), "GET", 401},
        Case{"PreflightOfOtherPage", Head("localhost:9632", "https://evil.example", ""), "OPTIONS",
             403},
        Case{"PreflightWithoutOrigin", Head("localhost:9632", "", ""), "OPTIONS", 403}),
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
