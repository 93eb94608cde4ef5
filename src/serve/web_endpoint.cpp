#include "serve/web_endpoint.h"

#include "serve/json_text.h"
#include "text/runtime_text.h"

namespace vantrel {

namespace {

void AddHeaders(HttpAnswer& answer, const HttpFields& headers) {
    answer.headers.insert(answer.headers.end(), headers.begin(), headers.end());
}

// The body of an admitted request, holding its place among those served at once until it ends,
// and giving its answer the headers the gate asked for.
class SlotBody : public RequestBody {
  public:
    SlotBody(std::unique_ptr<ConcurrencyLimit::Slot> slot, std::unique_ptr<RequestBody> inner,
             HttpFields cors)
        : slot_(std::move(slot)), inner_(std::move(inner)), cors_(std::move(cors)) {}
    std::optional<HttpAnswer> take(const char* data, std::size_t size) override {
        auto answer = inner_->take(data, size);
        if (answer) AddHeaders(*answer, cors_);
        return answer;
    }
    HttpAnswer finish() override {
        HttpAnswer answer = inner_->finish();
        AddHeaders(answer, cors_);
        return answer;
    }

  private:
    std::unique_ptr<ConcurrencyLimit::Slot> slot_;
    std::unique_ptr<RequestBody> inner_;
    HttpFields cors_;
};

// A request without a body, answered when it is whole.
class AnswerLater : public RequestBody {
  public:
    explicit AnswerLater(std::function<HttpAnswer()> answer) : answer_(std::move(answer)) {}
    std::optional<HttpAnswer> take(const char*, std::size_t) override {
        return ErrorAnswer(400, "this request takes no body");
    }
    HttpAnswer finish() override { return answer_(); }

  private:
    std::function<HttpAnswer()> answer_;
};

Admission Answer(HttpAnswer answer) {
    return {std::move(answer), nullptr};
}

}  // namespace

WebEndpoint::WebEndpoint(GateRules rules, EndpointLimits limits, PrintDesk& desk,
                         std::function<void(const std::string&)> journal, Now now)
    : rules_(std::move(rules)),
      rate_(limits.requestsPerSecond),
      atOnce_(limits.requestsAtOnce),
      desk_(desk),
      journal_(std::move(journal)),
      now_(std::move(now)) {}

Admission WebEndpoint::admit(const HttpRequest& request) {
    const std::string what = EscapeControls(request.method + " " + request.path);
    // First, so that refusals too are limited, and with them the journal's lines.
    if (!rate_.admit(now_())) {
        HttpAnswer answer = ErrorAnswer(429, "too many requests; try again in a second");
        answer.headers.emplace_back("Retry-After", "1");
        return Answer(std::move(answer));
    }
    GateOutcome gate = CheckRequest(request, rules_);
    if (!gate.refusal.empty()) journal_("refused " + what + ": " + gate.refusal);
    if (gate.answer) return Answer(std::move(*gate.answer));
    auto slot = atOnce_.enter();
    if (!slot) {
        HttpAnswer answer = ErrorAnswer(503, "too many requests at once; try again in a second");
        answer.headers.emplace_back("Retry-After", "1");
        AddHeaders(answer, gate.cors);
        return Answer(std::move(answer));
    }
    Admission admission = route(request);
    if (admission.answer) {
        AddHeaders(*admission.answer, gate.cors);
        return admission;
    }
    admission.body =
        std::make_unique<SlotBody>(std::move(slot), std::move(admission.body), gate.cors);
    return admission;
}

Admission WebEndpoint::route(const HttpRequest& request) {
    const std::string& path = request.path;
    const bool get = request.method == "GET";
    if (path == "/printers") {
        if (!get) return Answer(ErrorAnswer(405, "/printers is read with GET"));
        return {std::nullopt, std::make_unique<AnswerLater>([this] { return desk_.printers(); })};
    }
    if (path == "/jobs") {
        if (request.method != "POST") return Answer(ErrorAnswer(405, "a print is a POST to /jobs"));
        return desk_.order(request);
    }
    if (path.starts_with("/jobs/") && path.find('/', 6) == std::string::npos) {
        if (!get) return Answer(ErrorAnswer(405, "a job is read with GET"));
        return {std::nullopt, std::make_unique<AnswerLater>([this, request] {
                    return desk_.job(request, request.path.substr(6));
                })};
    }
    return Answer(ErrorAnswer(404, "no such place: GET /printers, POST /jobs, GET /jobs/ID"));
}

}  // namespace vantrel
