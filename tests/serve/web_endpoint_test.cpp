#include "serve/web_endpoint.h"

#include <gtest/gtest.h>

#include "fakes/fake_printer_system.h"
#include "fakes/stepped_clock.h"

namespace vantrel {
namespace {

using testing::FakePrinterSystem;

const std::string kToken(64, '7');

// The endpoint on a fake spooler, and a client that sends it requests whole.
class WebEndpointTest : public ::testing::Test {
  protected:
    WebEndpointTest() {
        spooler.installed = {{"Label_Printer", "usb://zebra"}, {"Office_Laser", "lpd://x"}};
        spooler.defaultEntry = "Office_Laser,raw,lpd://x";
    }

    // A request with the right Host and token, and the headers given.
    static HttpRequest Head(const std::string& method, const std::string& path,
                            HttpFields headers = {}) {
        headers.insert(headers.end(),
                       {{"Host", "localhost:9632"}, {"Authorization", "Bearer " + kToken}});
        return {method, path, 9632, {}, std::move(headers)};
    }
    HttpAnswer send(const std::string& method, const std::string& path, HttpFields query = {},
                    const std::string& body = "", HttpFields headers = {}) {
        if (ticking) now += std::chrono::seconds(1);
        headers.emplace_back("Content-Length", std::to_string(body.size()));
        HttpRequest request = Head(method, path, std::move(headers));
        request.query = std::move(query);
        Admission admission = endpoint.admit(request);
        if (admission.answer) return *admission.answer;
        for (std::size_t at = 0; at < body.size(); at += 1000) {
            if (auto early = admission.body->take(body.data() + at,
                                                  std::min<std::size_t>(1000, body.size() - at)))
                return *early;
        }
        return admission.body->finish();
    }
    HttpAnswer print(const std::string& body, HttpFields query = {}, HttpFields headers = {}) {
        return send("POST", "/jobs", std::move(query), body, std::move(headers));
    }

    FakePrinterSystem spooler;
    std::unique_ptr<FileSystem> files = MakeSystemFileSystem();
    testing::SteppedClock clock;
    std::vector<std::string> journal;
    RateLimit::Clock::time_point now{};
    bool ticking = true;  // each request a second after the last
    PrintDesk desk{{spooler, spooler, *files, clock, [] { return false; }},
                   {{}, 10000, ""},
                   [this](const std::string& line) { journal.push_back(line); }};
    WebEndpoint endpoint{{{}, kToken},
                         {5, 16},
                         desk,
                         [this](const std::string& line) { journal.push_back(line); },
                         [this] { return now; }};
};

TEST_F(WebEndpointTest, PrintsTheBodyByteForByteInEveryCopy) {
    const std::string label = std::string("^XA\0\xff^XZ", 8) + std::string(2500, 'z');
    const HttpAnswer answer =
        print(label, {{"printer", "label"}, {"copies", "2"}, {"name", "box 7"}});
    EXPECT_EQ(answer.status, 201);
    EXPECT_EQ(answer.body, "{\"printer\":\"Label_Printer\",\"jobs\":[1,2]}\n");
    ASSERT_EQ(spooler.printed().size(), 2u);
    for (const auto& document : spooler.printed()) {
        EXPECT_EQ(document.deviceName, "Label_Printer");
        EXPECT_EQ(document.documentName, "Vantrel: box 7");
        EXPECT_EQ(document.data, label);
    }
    EXPECT_EQ(send("GET", "/jobs/2").body,
              "{\"id\":2,\"printer\":\"Label_Printer\",\"state\":\"completed\",\"reason\":\"\","
              "\"printerPaused\":false}\n");
}

struct Refusal {
    const char* name;
    HttpFields query;
    std::string body;
    int status;
    std::string error;
};

class PrintRefusalTest : public WebEndpointTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(PrintRefusalTest, PrintsNothingAndSaysWhyInTheCommandLinesWords) {
    const HttpAnswer answer = print(GetParam().body, GetParam().query);
    EXPECT_EQ(answer.status, GetParam().status);
    EXPECT_NE(answer.body.find(GetParam().error), std::string::npos) << answer.body;
    EXPECT_TRUE(spooler.documents.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Orders, PrintRefusalTest,
    ::testing::Values(
        Refusal{"UnknownPrinter", {{"printer", "Plotter"}}, "x", 404, "begins with \\\"Plotter"},
        Refusal{"NoCount", {{"copies", "abc"}}, "x", 400, "Invalid number of copies: abc"},
        Refusal{"ZeroCopies", {{"copies", "0"}}, "x", 400, "Invalid number of copies: 0"},
        Refusal{"TooMany", {{"copies", "40000"}}, "x", 400, "Too many copies: 40000 (at most"},
        Refusal{"PrinterTwice", {{"printer", "a"}, {"printer", "b"}}, "x", 400, "more than once"},
        Refusal{"UnknownParameter", {{"copy", "2"}}, "x", 400, "unknown parameter copy"},
        Refusal{"TooLarge", {}, std::string(10001, 'x'), 413, "larger than the 10000 bytes"},
        Refusal{"Empty", {}, "", 400, "the body is empty"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WebEndpointTest, RefusesABodyWithoutItsLength) {
    const Admission admission = endpoint.admit(Head("POST", "/jobs"));
    ASSERT_TRUE(admission.answer);
    EXPECT_EQ(admission.answer->status, 411);
}

TEST_F(WebEndpointTest, ARetryWithTheSameKeyPrintsOnceAndAnswersTheFirstJobs) {
    const HttpFields key{{"Idempotency-Key", "order-17"}};
    const HttpAnswer first = print("label", {{"printer", "Label_Printer"}}, key);
    const HttpAnswer retry = print("label", {{"printer", "Label_Printer"}}, key);
    EXPECT_EQ(first.status, 201);
    EXPECT_EQ(retry.status, 200);
    EXPECT_EQ(retry.body, "{\"printer\":\"Label_Printer\",\"jobs\":[1],\"repeated\":true}\n");
    EXPECT_EQ(print("other", {{"printer", "Office_Laser"}}, key).status, 422);
    EXPECT_EQ(spooler.documents.size(), 1u);
}

TEST_F(WebEndpointTest, AKeyUnderWayIsNotPrintedTwice) {
    const HttpRequest request =
        Head("POST", "/jobs", {{"Idempotency-Key", "k"}, {"Content-Length", "5"}});
    Admission first = endpoint.admit(request);
    ASSERT_TRUE(first.body);
    const Admission second = endpoint.admit(request);
    ASSERT_TRUE(second.answer);
    EXPECT_EQ(second.answer->status, 409);
    first.body.reset();  // the first client went away before its body was whole
    EXPECT_EQ(print("label", {}, {{"Idempotency-Key", "k"}}).status, 201);
}

TEST_F(WebEndpointTest, AFailedPrintLeavesTheKeyFreeForARetry) {
    spooler.finishFails = true;  // its job is made, then withdrawn: nothing prints
    EXPECT_EQ(print("label", {}, {{"Idempotency-Key", "k"}}).status, 502);
    spooler.finishFails = false;
    EXPECT_EQ(print("label", {}, {{"Idempotency-Key", "k"}}).status, 201);
}

TEST_F(WebEndpointTest, RefusesHostileKeys) {
    for (const std::string& key :
         {std::string(201, 'k'), std::string("a b"), std::string("a\nb"), std::string()}) {
        EXPECT_EQ(print("x", {}, {{"Idempotency-Key", key}}).status, 400);
    }
    EXPECT_TRUE(spooler.documents.empty());
}

TEST_F(WebEndpointTest, ListsThePrintersWithTheirHostileNamesEscaped) {
    spooler.installed.push_back({"Evil\"},{\"name\":\"x\n", "ipp://y"});
    EXPECT_EQ(send("GET", "/printers").body,
              "{\"printers\":[{\"name\":\"Label_Printer\",\"default\":false},{\"name\":\"Office_"
              "Laser\",\"default\":true},{\"name\":\"Evil\\\"},{\\\"name\\\":\\\"x\\u000a\","
              "\"default\":false}]}\n");
}

TEST_F(WebEndpointTest, WaitsForAJobUntilItEndsOrTheTimeIsUp) {
    ASSERT_EQ(print("x").status, 201);
    spooler.jobStates[1] = {
        {JobState::Pending, {}}, {JobState::Processing, {}}, {JobState::Completed, {}}};
    EXPECT_NE(send("GET", "/jobs/1", {{"wait", "10"}}).body.find("\"completed\""),
              std::string::npos);
    EXPECT_LT(clock.at - clock.start, std::chrono::seconds(10));
    spooler.jobStates[1] = {{JobState::Held, {}}};
    EXPECT_NE(send("GET", "/jobs/1", {{"wait", "5"}}).body.find("\"held\""), std::string::npos);
    EXPECT_EQ(send("GET", "/jobs/1", {{"wait", "301"}}).status, 400);
}

TEST_F(WebEndpointTest, TellsOnlyOfJobsPrintedHere) {
    for (const std::string path :
         {"/jobs/1", "/jobs/x", "/jobs/99999999999", "/jobs/1/..", "/jobs/"})
        EXPECT_EQ(send("GET", path).status, 404) << path;
    EXPECT_EQ(send("GET", "/printers/../jobs").status, 404);
    EXPECT_EQ(send("DELETE", "/jobs").status, 405);
}

TEST_F(WebEndpointTest, LimitsRequestsPerSecondBeforeLookingAtThem) {
    ticking = false;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(send("GET", "/nowhere").status, 404);
    const HttpAnswer limited = send("GET", "/printers");
    EXPECT_EQ(limited.status, 429);
    EXPECT_EQ(limited.headers.back(), (std::pair<std::string, std::string>{"Retry-After", "1"}));
    now += std::chrono::milliseconds(400);
    EXPECT_EQ(send("GET", "/printers").status, 200);
}

TEST_F(WebEndpointTest, LimitsRequestsAtOnce) {
    std::vector<Admission> held;
    for (int i = 0; i < 16; ++i) {
        now += std::chrono::seconds(1);
        held.push_back(endpoint.admit(Head("GET", "/printers")));
    }
    now += std::chrono::seconds(1);
    EXPECT_EQ(send("GET", "/printers").status, 503);
    held.pop_back();
    EXPECT_EQ(send("GET", "/printers").status, 200);
}

}  // namespace
}  // namespace vantrel
