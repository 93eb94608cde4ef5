// The web endpoint, "vantrel --serve", as a running program on the private CUPS scheduler: what
// the capture printers receive from its requests, and what it refuses before reading a body.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <utility>

#include "integration/harness.h"

namespace vantrel::integration {
namespace {

using namespace std::chrono_literals;

struct Reply {
    int status = 0;
    std::string body;
};

// One request on a connection of its own, answered whole; a client of the tests, which sends
// what it is given however wrong.
Reply Ask(int port, const std::string& request) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        for (std::size_t sent = 0; sent < request.size();) {
            const ssize_t n =
                ::send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += static_cast<std::size_t>(n);
        }
        char buffer[65536];
        for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) answer.append(buffer, n);
    }
    ::close(fd);
    Reply reply;
    if (answer.starts_with("HTTP/1.1 ")) reply.status = std::stoi(answer.substr(9, 3));
    if (const auto end = answer.find("\r\n\r\n"); end != std::string::npos)
        reply.body = answer.substr(end + 4);
    return reply;
}

// "vantrel --serve --port 0 ARGS" in the background, on the port it reports.
class Endpoint {
  public:
    Endpoint(const std::string& home, std::vector<std::string> args = {}) {
        args.insert(args.begin(), {VANTREL_BINARY, "--serve", "--port", "0"});
        pid_ = Spawn(args, VantrelEnv(home), "/dev/null", journal_);
        const std::string serving = "serving on http://127.0.0.1:";
        WaitFor(
            [&] {
                const std::string text = journal();
                const auto at = text.find(serving);
                return at != std::string::npos &&
                       (port = std::atoi(text.c_str() + at + serving.size())) > 0;
            },
            30s);
        token = ReadFile(home + "/.local/state/Vantrel/serve-token").substr(0, 64);
    }
    ~Endpoint() {
        if (pid_ > 0) stop(SIGKILL);
    }
    int stop(int signal = SIGTERM) {
        ::kill(pid_, signal);
        return WaitForExit(std::exchange(pid_, -1));
    }
    std::string journal() const { return ReadFile(journal_); }
    // A request as a browser or script sends it, with the token unless told otherwise.
    Reply ask(const std::string& head, const std::string& body = "",
              const std::string& headers = "") const {
        return Ask(port, head + " HTTP/1.1\r\nHost: localhost:" + std::to_string(port) +
                             "\r\nAuthorization: Bearer " + token + "\r\nConnection: close\r\n" +
                             headers + "Content-Length: " + std::to_string(body.size()) +
                             "\r\n\r\n" + body);
    }

    int port = 0;
    std::string token;

  private:
    TempDir dir_;
    std::string journal_ = dir_.file("journal");
    pid_t pid_ = -1;
};

class ServeEndpoint : public ::testing::Test {
  protected:
    void SetUp() override { VANTREL_USE_PRIVATE_CUPS(cups_); }
    static std::vector<int> Jobs(const std::string& body) {
        std::vector<int> ids;
        const auto at = body.find("\"jobs\":[");
        if (at == std::string::npos) return ids;
        for (const char* p = body.c_str() + at + 8; *p >= '0' && *p <= '9'; p += (*p == ',')) {
            char* end = nullptr;
            ids.push_back(static_cast<int>(std::strtol(p, &end, 10)));
            p = end;
        }
        return ids;
    }

    PrivateCups cups_;
    TempDir home_;
};

TEST_F(ServeEndpoint, PrintsEveryCopyByteForByteAndTellsWhenItCompleted) {
    Endpoint endpoint(home_.path());
    const auto before = CapturedJobs(cups_, kLabelQueue);
    const std::string label = PatternBytes(300000);
    const Reply printed = endpoint.ask("POST /jobs?printer=label&copies=2&name=box%207", label);
    ASSERT_EQ(printed.status, 201) << printed.body;
    const auto jobs = Jobs(printed.body);
    ASSERT_EQ(jobs.size(), 2u);
    const Reply job = endpoint.ask("GET /jobs/" + std::to_string(jobs[1]) + "?wait=30");
    EXPECT_NE(job.body.find("\"state\":\"completed\""), std::string::npos) << job.body;
    WaitUntilQueueIdle(kLabelQueue);
    const auto received = CapturedJobs(cups_, kLabelQueue, before);
    ASSERT_EQ(received.size(), 2u);
    for (const auto& file : received) EXPECT_TRUE(ReadFile(file) == label);
    EXPECT_NE(endpoint.journal().find("printed box 7 on Label_Printer (2 copies, 300000 bytes)"),
              std::string::npos);
    EXPECT_EQ(endpoint.stop(), 0);
}

TEST_F(ServeEndpoint, ARetryWithTheSameKeyPrintsOnceEvenAfterAKill) {
    const std::string key = "Idempotency-Key: order-4711\r\n";
    const auto before = CapturedJobs(cups_, kLabelQueue);
    std::string first;
    {
        Endpoint endpoint(home_.path());
        const Reply printed = endpoint.ask("POST /jobs?printer=Label_Printer", "^XA^XZ", key);
        ASSERT_EQ(printed.status, 201) << printed.body;
        first = printed.body;
        endpoint.stop(SIGKILL);
    }
    Endpoint again(home_.path());
    const Reply retried = again.ask("POST /jobs?printer=Label_Printer", "^XA^XZ", key);
    EXPECT_EQ(retried.status, 200);
    EXPECT_EQ(Jobs(retried.body), Jobs(first));
    WaitUntilQueueIdle(kLabelQueue);
    EXPECT_EQ(CapturedJobs(cups_, kLabelQueue, before).size(), 1u);
}

// The limits the HTTP library keeps, and the journal's line of a refusal (the gate's rules
// themselves are tested on their own, and from a browser by scripts/test-browser.sh).
TEST_F(ServeEndpoint, RefusesBeforeReadingABodyAndPrintsNothing) {
    Endpoint endpoint(home_.path(), {"--max-size", "1"});
    const auto before = CapturedJobs(cups_, kDefaultQueue);
    EXPECT_EQ(
        endpoint.ask("POST /jobs", "^XA^XZ", "X-Pad: " + std::string(20000, 'a') + "\r\n").status,
        431);
    // Answered from the head alone: the body is never sent.
    EXPECT_EQ(Ask(endpoint.port, "POST /jobs HTTP/1.1\r\nHost: localhost:" +
                                     std::to_string(endpoint.port) + "\r\nAuthorization: Bearer " +
                                     endpoint.token + "\r\nContent-Length: 2000000\r\n\r\n")
                  .status,
              413);
    endpoint.token = "0";
    EXPECT_EQ(endpoint.ask("POST /jobs", "^XA^XZ").status, 401);
    EXPECT_TRUE(CapturedJobs(cups_, kDefaultQueue, before).empty());
    EXPECT_NE(endpoint.journal().find("refused POST /jobs: no valid token"), std::string::npos);
}

TEST_F(ServeEndpoint, ASecondOnTheSamePortSaysWhyAndEnds) {
    Endpoint endpoint(home_.path());
    const RunResult second =
        RunProgram({VANTREL_BINARY, "--serve", "--port", std::to_string(endpoint.port)},
                   VantrelEnv(home_.path()));
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_NE(second.err.find("cannot be listened on"), std::string::npos) << second.err;
}

}  // namespace
}  // namespace vantrel::integration
