#include "serve/print_desk.h"

#include <algorithm>
#include <chrono>
#include <optional>

#include "printing/copies_count.h"
#include "printing/job_follower.h"
#include "printing/outcome_texts.h"
#include "printing/print_copies.h"
#include "printing/printer_selection.h"
#include "serve/desk_json.h"
#include "serve/json_text.h"
#include "serve/one_look_at_a_time.h"
#include "text/runtime_text.h"

namespace vantrel {

namespace {

// The jobs remembered for GET /jobs/ID, the newest kept.
constexpr std::size_t kRememberedJobs = 10000;
// How long a key's print is remembered, so that a retry a day later is a new print.
constexpr std::chrono::hours kKeyKeptFor{24};
constexpr std::size_t kLongestKey = 200;
constexpr std::size_t kLongestTitle = 200;

std::int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

bool UsableKey(const std::string& key) {
    return !key.empty() && key.size() <= kLongestKey &&
           std::all_of(key.begin(), key.end(), [](char c) { return c > 32 && c < 127; });
}

std::optional<std::uint64_t> Digits(const std::string& text, std::size_t most) {
    if (text.empty() || text.size() > most ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return std::stoull(text);
}

}  // namespace

// A print order as it was checked before its body came.
struct PrintDesk::Order {
    std::string printerName;  // as asked, or the default's
    std::string selection;    // the printer it matched
    std::string device;       // that printer's device name
    int copies = 1;
    std::string title;
    std::string key;  // empty: none
};

// A request's body, kept in a private scratch file until it is whole, then printed.
class KeptBody : public RequestBody {
  public:
    KeptBody(PrintDesk& desk, PrintDesk::Order order, std::unique_ptr<PrivateFile> kept)
        : desk_(desk), order_(std::move(order)), kept_(std::move(kept)) {}
    ~KeptBody() override { desk_.release(order_.key); }

    std::optional<HttpAnswer> take(const char* data, std::size_t size) override {
        bytes_ += size;
        if (bytes_ > desk_.settings_.maxBodyBytes) return TooLarge(desk_.settings_.maxBodyBytes);
        try {
            kept_->write(data, size);
        } catch (const FileReadError& error) {
            return ErrorAnswer(507, std::string("the body cannot be kept: ") + error.what());
        }
        return std::nullopt;
    }
    HttpAnswer finish() override {
        if (bytes_ == 0) return ErrorAnswer(400, "nothing to print: the body is empty");
        return desk_.print(order_, *kept_, bytes_);
    }
    static HttpAnswer TooLarge(std::uint64_t most) {
        return ErrorAnswer(413, "the body is larger than the " + std::to_string(most) +
                                    " bytes this server takes (vantrel --serve --max-size)");
    }

  private:
    PrintDesk& desk_;
    PrintDesk::Order order_;
    std::unique_ptr<PrivateFile> kept_;
    std::uint64_t bytes_ = 0;
};

PrintDesk::PrintDesk(DeskSeams seams, DeskSettings settings,
                     std::function<void(const std::string&)> journal)
    : seams_(std::move(seams)),
      settings_(std::move(settings)),
      journal_(std::move(journal)),
      record_(settings_.recordPath) {
    const std::int64_t oldest =
        NowNs() - std::chrono::duration_cast<std::chrono::nanoseconds>(kKeyKeptFor).count();
    record_.compact(
        [&](const std::string&, const FileIdentity& id) { return id.modifiedNs > oldest; }, true);
    for (const auto& key : record_.paths()) {
        const SpooledFile* file = record_.find(key);
        remember(file->printer, file->jobs);
    }
}

HttpAnswer PrintDesk::printers() {
    OneLookAtATime look(seams_.looking, looking_);
    try {
        const auto printers = look.printers();
        const auto entry = look.defaultPrinterEntry();
        std::string json = "{\"printers\":[";
        std::vector<std::string> entries;
        for (const auto& printer : printers) entries.push_back(SelectionString(printer));
        const auto isDefault =
            entry ? FindListEntry(entries, DefaultPrinterName(*entry)) : std::nullopt;
        for (std::size_t i = 0; i < printers.size(); ++i) {
            json += std::string(i ? "," : "") + "{\"name\":" + JsonString(printers[i].deviceName) +
                    ",\"default\":" +
                    (isDefault && *isDefault == static_cast<int>(i) ? "true" : "false") + "}";
        }
        return JsonAnswer(200, json + "]}");
    } catch (const SpoolError& error) {
        return ErrorAnswer(503, SpoolerUnreachableText(error));
    }
}

Admission PrintDesk::order(const HttpRequest& request) {
    for (const auto& [name, value] : request.query) {
        if (name != "printer" && name != "copies" && name != "name") {
            return {ErrorAnswer(400, "unknown parameter " + name +
                                         "; POST /jobs takes printer, "
                                         "copies and name"),
                    nullptr};
        }
        if (request.queryCount(name) > 1) {
            return {ErrorAnswer(400, name + " is given more than once"), nullptr};
        }
    }
    Order order;
    const std::string copiesText = request.queryValue("copies").value_or("1");
    // As on a command line, but a count below 1 is refused: a page means what it sends.
    CopiesCount copies = ReadCopies(copiesText, CopiesRule::CommandLine);
    if (copies.usable() && !ReadCopies(copiesText, CopiesRule::PrintButton).usable()) copies = {};
    if (!copies.usable()) return {ErrorAnswer(400, CopiesRefusalText(copies, copiesText)), nullptr};
    order.copies = copies.count;
    std::string title = request.queryValue("name").value_or("web page");
    if (title.size() > kLongestTitle) title.resize(kLongestTitle);
    order.title = EscapeControls(title);
    order.key = request.header("Idempotency-Key").value_or("");
    if (request.header("Idempotency-Key") && !UsableKey(order.key)) {
        return {ErrorAnswer(400, "an Idempotency-Key is 1 to 200 visible ASCII characters"),
                nullptr};
    }
    // The length first, so that a body too large is refused with its status before it is sent;
    // browsers send one with every body they can. (The library holds the body to it.)
    const auto length = Digits(request.header("Content-Length").value_or(""), 19);
    if (!length) {
        return {ErrorAnswer(411, "a print needs a Content-Length; bodies in chunks are not taken"),
                nullptr};
    }
    if (*length > settings_.maxBodyBytes)
        return {KeptBody::TooLarge(settings_.maxBodyBytes), nullptr};
    OneLookAtATime look(seams_.looking, looking_);
    try {
        const auto asked = request.queryValue("printer");
        order.printerName =
            asked ? *asked : Trim(DefaultPrinterNameOrNone(look.defaultPrinterEntry()));
        const auto named = look.printerNamed(order.printerName);
        const auto printers = named ? std::vector<Printer>{*named} : look.printers();
        order.selection = SelectionForPrinterName(printers, order.printerName);
        const auto printer = FindSelectedPrinter(printers, order.selection);
        if (!printer) {
            return {ErrorAnswer(404, UnknownPrinterText(order.printerName) + "; see GET /printers"),
                    nullptr};
        }
        order.device = printer->deviceName;
    } catch (const SpoolError& error) {
        return {ErrorAnswer(503, SpoolerUnreachableText(error)), nullptr};
    }
    if (!order.key.empty()) {
        std::lock_guard lock(state_);
        if (record_.find(order.key)) return {repeated(order.key, order), nullptr};
        if (!keysUnderWay_.insert(order.key).second) {
            return {ErrorAnswer(409,
                                "a request with this Idempotency-Key is under way; ask "
                                "again once it is answered"),
                    nullptr};
        }
    }
    try {
        auto kept = seams_.files.createPrivateFile();
        return {std::nullopt, std::make_unique<KeptBody>(*this, std::move(order), std::move(kept))};
    } catch (const FileReadError& error) {
        release(order.key);
        return {ErrorAnswer(507, std::string("the body cannot be kept: ") + error.what()), nullptr};
    }
}

// Under state_: the answer to a key that printed before.
HttpAnswer PrintDesk::repeated(const std::string& key, const Order& order) {
    const SpooledFile& file = *record_.find(key);
    if (file.printer != order.device || file.copies != order.copies) {
        return ErrorAnswer(422, "this Idempotency-Key was used for another print");
    }
    const bool whole =
        static_cast<int>(file.jobs.size()) == file.copies && !file.lastUnconfirmed &&
        std::all_of(file.jobs.begin(), file.jobs.end(), [](int id) { return id > 0; });
    if (!whole) {
        return JsonAnswer(409, "{\"error\":" +
                                   JsonString("the print of this Idempotency-Key ended before "
                                              "every copy was spooled; it is not printed again") +
                                   ",\"printer\":" + JsonString(file.printer) +
                                   ",\"jobs\":" + JsonNumbers(file.jobs) + "}");
    }
    return JsonAnswer(200, PrintedJson(file.printer, file.jobs, true));
}

void PrintDesk::release(const std::string& key) {
    if (key.empty()) return;
    std::lock_guard lock(state_);
    keysUnderWay_.erase(key);
}

void PrintDesk::remember(const std::string& printer, const std::vector<int>& jobs) {
    for (const int id : jobs) {
        if (id > 0) printers_[id] = printer;
    }
    while (printers_.size() > kRememberedJobs) printers_.erase(printers_.begin());
}

HttpAnswer PrintDesk::print(const Order& order, PrivateFile& body, std::uint64_t bytes) {
    std::lock_guard printing(printing_);
    SpooledFile noted{{0, 0, bytes, NowNs()}, order.device, order.copies, {}, false};
    const auto note = [&](bool durable) {
        if (order.key.empty()) return;
        std::lock_guard lock(state_);
        if (auto error = record_.put(order.key, noted, durable)) {
            journal_("the record " + record_.recordPath() +
                     " cannot be written: " + error.message());
        }
    };
    CopySteps steps;
    steps.created = [&](int, int id) {
        noted.jobs.push_back(id);
        noted.lastUnconfirmed = true;
        note(true);  // on the disk before a byte of the document is sent
    };
    steps.spooled = [&](int, const SpoolOutcome&) {
        noted.lastUnconfirmed = false;
        note(false);
    };
    SpoolInput input{order.title, "Vantrel: " + order.title,
                     [&body] { return body.openForReading(); }, false};
    const CopiesOutcome printed = PrintCopiesOf(input, order.selection, order.copies,
                                                seams_.printing, settings_.spool, steps);
    {
        std::lock_guard lock(state_);
        remember(order.device, printed.jobIds);
        if (!order.key.empty() && printed.spooled == 0) {
            record_.drop(order.key);  // nothing printed: a retry may print
        } else if (!order.key.empty() && !printed.allSpooled()) {
            noted.jobs = printed.jobIds;
            noted.lastUnconfirmed = false;
            record_.put(order.key, noted);
        }
    }
    if (printed.allSpooled()) {
        journal_("printed " + order.title + " on " + EscapeControls(order.device) + " (" +
                 std::to_string(order.copies) + (order.copies == 1 ? " copy, " : " copies, ") +
                 std::to_string(bytes) + " bytes): job" + (order.copies == 1 ? " " : "s ") +
                 JobList(printed.jobIds));
        return JsonAnswer(201, PrintedJson(order.device, printed.jobIds));
    }
    std::string why;
    for (const Notice& notice : CopiesNotices(printed))
        why += (why.empty() ? "" : " ") + notice.text;
    journal_("not printed: " + EscapeControls(why));
    const int status = printed.failure == SpoolFailure::PrinterName          ? 404
                       : printed.failure == SpoolFailure::SpoolerRefused     ? 502
                       : printed.failure == SpoolFailure::SpoolerUnreachable ? 503
                       : printed.failure == SpoolFailure::SpoolerBusy        ? 503
                                                                             : 500;
    return JsonAnswer(status, "{\"error\":" + JsonString(why) +
                                  ",\"printer\":" + JsonString(order.device) +
                                  ",\"jobs\":" + JsonNumbers(printed.jobIds) + "}");
}

HttpAnswer PrintDesk::job(const HttpRequest& request, const std::string& id) {
    const auto number = Digits(id, 9);
    std::string printer;
    {
        std::lock_guard lock(state_);
        const auto found = number ? printers_.find(static_cast<int>(*number)) : printers_.end();
        if (found == printers_.end()) return ErrorAnswer(404, "no job " + id + " was printed here");
        printer = found->second;
    }
    std::optional<std::uint64_t> wait = 0;
    if (const auto text = request.queryValue("wait")) wait = Digits(*text, 3);
    if (!wait || *wait > kLongestJobWait) {
        return ErrorAnswer(400,
                           "wait takes whole seconds from 0 to " + std::to_string(kLongestJobWait));
    }
    OneLookAtATime look(seams_.looking, looking_);
    const auto start = seams_.clock.now();
    const auto deadline = start + std::chrono::seconds(*wait);
    JobFollower follower({{printer, static_cast<int>(*number)}}, start);
    for (auto now = start;;) {
        const auto next = follower.step(look, now);
        if (!next || seams_.stopping()) break;
        if (now >= deadline) {
            follower.lookAtAll(look, now);
            break;
        }
        seams_.clock.sleepUntil(std::min(*next, deadline));
        now = seams_.clock.now();
    }
    const FollowedJob& followed = follower.jobs().front();
    if (follower.unansweredSince()) {
        return ErrorAnswer(503, SpoolerUnreachableText(follower.unansweredWhy()));
    }
    return JsonAnswer(
        200, "{\"id\":" + std::to_string(*number) + ",\"printer\":" + JsonString(printer) +
                 ",\"state\":\"" + StateWord(followed.last.state) +
                 "\",\"reason\":" + JsonString(followed.last.reason) +
                 ",\"printerPaused\":" + (followed.last.printerPaused ? "true" : "false") + "}");
}

}  // namespace vantrel
