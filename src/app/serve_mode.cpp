#include "app/serve_mode.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <system_error>

#include "platform/backends.h"
#include "platform/http_server.h"
#include "platform/path_text.h"
#include "platform/replace_file.h"
#include "platform/stderr_messages.h"
#include "platform/system_places.h"
#include "platform/text_output.h"
#include "serve/print_desk.h"
#include "serve/serve_arguments.h"
#include "serve/serve_token.h"
#include "serve/web_endpoint.h"
#include "settings/settings_steps.h"
#include "text/runtime_text.h"

namespace vantrel {

namespace {

constexpr const char* kServeUsage =
    "Usage: vantrel --serve [--port N] [--allow-origin ORIGIN ...] [--max-size MIB] [--rate N]\n"
    "       vantrel --serve --show-token | --new-token; see vantrel --help";

int Refuse(const std::string& why) {
    WriteText(stderr, "vantrel: " + EscapeControls(why) + "\n" + kServeUsage + "\n");
    return 2;
}

void JournalLine(const std::string& line) {
    WriteText(stderr, line + "\n");
}

int Fail(const std::string& why) {
    StderrMessages messages;
    messages.show("the web endpoint cannot start: " + why, MsgStyle::Critical, kAppTitle);
    return 1;
}

// The state directory, made when missing; nothing when it is safe to keep the token in, else
// why not.
std::optional<std::string> UnsafeStateDirectory(const std::string& state) {
    if (state.empty()) return "there is no state directory";
    if (auto error = MakePrivateFolders(state)) {
        return "its state directory " + state + " cannot be made: " + error.message();
    }
    if (auto why = WhyNotPrivateFolder(state)) {
        return "its state directory is not safe to keep its token in: " + *why +
               "; it must belong to the user and be writable by nobody else";
    }
    return std::nullopt;
}

// The steady clock whose sleep a request to stop ends.
class StopClock : public WaitClock {
  public:
    explicit StopClock(StopSignals& stop) : stop_(stop) {}
    FollowClock::time_point now() override { return FollowClock::now(); }
    void sleepUntil(FollowClock::time_point when) override {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(when - now());
        if (left.count() > 0) stop_.waitFor(left);
    }

  private:
    StopSignals& stop_;
};

std::string ServingLine(const std::vector<std::string>& urls,
                        const std::vector<std::string>& origins) {
    std::string line = "serving on";
    for (const auto& url : urls) line += (url == urls.front() ? " " : " and ") + url;
    if (origins.empty()) return line + " for scripts only (no page's origin is allowed)";
    line += " for";
    for (const auto& origin : origins) line += " " + origin;
    return line;
}

}  // namespace

int RunServeMode(const std::vector<std::string>& words) {
    ServeRequest request;
    try {
        request = ParseServeArguments(words);
    } catch (const ServeUsageError& error) {
        return Refuse(error.what());
    }
    if (!HttpServingAvailable()) {
        return Refuse("printing from web pages (--serve) is not available in this build");
    }
    const std::string state = UserStateDirectory();
    if (auto unsafe = UnsafeStateDirectory(state)) return Fail(*unsafe);
    const std::string tokenPath = JoinPath(state, kServeTokenName);
    std::string token;
    try {
        token = KeptServeToken(tokenPath, request.newToken);
    } catch (const std::exception& error) {
        return Fail(error.what());
    }
    if (request.showToken || request.newToken) {
        std::printf("%s\n", token.c_str());
        return 0;
    }
    std::unique_ptr<StopSignals> stop;
    try {
        stop = CatchStopSignals();
    } catch (const std::system_error& error) {
        return Fail(std::string("its stop signals cannot be caught: ") + error.what());
    }
    auto printing = MakeSystemPrinterSystem(*stop);
    auto looking = MakeSystemPrinterSystem(*stop);
    auto files = MakeSystemFileSystem();
    auto store = MakeSystemSettingsStore();
    auto profile = MakeSystemLegacyProfile();
    StderrMessages messages;
    const Settings settings = BringInSettings(*store, *profile, NoScreenRoom(), messages);
    StopClock clock(*stop);
    StopSignals& stopSignals = *stop;
    PrintDesk desk({*printing, *looking, *files, clock, [&] { return stopSignals.requested(); }},
                   {SpoolOptions{EjectBetweenJobs(settings)}, request.maxBodyBytes,
                    JoinPath(state, kServeRecordName)},
                   JournalLine);
    WebEndpoint endpoint({request.origins, token}, {request.requestsPerSecond, 16}, desk,
                         JournalLine);
    std::unique_ptr<HttpServer> server;
    try {
        server = ServeOnLoopback(request.port, HttpLimits{}, endpoint);
    } catch (const std::exception& error) {
        return Fail(error.what());
    }
    JournalLine(ServingLine(server->urls(), request.origins));
    while (!stop->waitFor(std::chrono::hours(1))) {
    }
    JournalLine("stopping: the requests under way end first");
    server.reset();
    return 0;
}

}  // namespace vantrel
