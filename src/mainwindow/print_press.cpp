#include "mainwindow/print_press.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "platform/forwarding_systems.h"
#include "platform/path_separator.h"
#include "platform/system_places.h"
#include "printing/copies_count.h"
#include "printing/outcome_texts.h"
#include "printing/work_slice.h"
#include "text/runtime_text.h"

namespace vantrel {

std::string PrintName(const std::string& listEntry) {
    // Names keep their case where the file system tells case apart.
    return FileNamesIgnoreCase() ? UCase(Trim(listEntry)) : Trim(listEntry);
}

namespace {

// Asks before the copy directory's file of the printed file's name is replaced, and removes
// it when the user says so. False when the press must stop; the printed file then stays.
bool MayReplaceCopy(const std::string& copy, const std::string& name, FileSystem& files,
                    MessageSink& messages) {
    const std::string copyDir = copy.substr(0, copy.size() - name.size());
    if (messages.show(
            "File " + name + " Already Exists in Copy Directory " + copyDir + ", Overwrite?",
            MsgStyle::YesNo) != MsgAnswer::Yes) {
        return false;
    }
    const std::error_code error = files.removeFile(copy);
    if (error && error != std::errc::no_such_file_or_directory) {
        messages.show("Could not replace " + copy + ": " + error.message() + ". File Not Moved",
                      MsgStyle::Exclamation);
        return false;
    }
    return true;
}

// Lets the window answer once PrintPress::kAnswerEvery has passed since it last did.
class AnswerPacer {
  public:
    explicit AnswerPacer(std::function<void()> answer) : answer_(std::move(answer)) {}
    // The window has just answered.
    void restart() { last_ = std::chrono::steady_clock::now(); }
    void answerIfDue() {
        if (!answer_ || std::chrono::steady_clock::now() - last_ < PrintPress::kAnswerEvery) return;
        answer_();
        restart();
    }

  private:
    std::function<void()> answer_;
    std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

// A file whose reads let the window answer.
class AnsweringReader : public FileReader {
  public:
    AnsweringReader(std::unique_ptr<FileReader> file, AnswerPacer& pacer)
        : file_(std::move(file)), pacer_(pacer) {}
    std::size_t read(char* buffer, std::size_t size) override {
        pacer_.answerIfDue();
        return file_->read(buffer, size);
    }
    const FileIdentity& identity() const override { return file_->identity(); }
    std::optional<FileIdentity> identityNow() override { return file_->identityNow(); }

  private:
    std::unique_ptr<FileReader> file_;
    AnswerPacer& pacer_;
};

// The files as the press reads them: every file it opens answers while it is read.
class AnsweringFiles : public ForwardingFileSystem {
  public:
    AnsweringFiles(FileSystem& files, AnswerPacer& pacer)
        : ForwardingFileSystem(files), pacer_(pacer) {}
    std::unique_ptr<FileReader> openForReading(const std::string& path) override {
        return std::make_unique<AnsweringReader>(ForwardingFileSystem::openForReading(path),
                                                 pacer_);
    }

  private:
    AnswerPacer& pacer_;
};

// The spooler as the press calls it: a scheduler slow to answer one request (a busy one takes
// a tenth of a second, now and then seconds) must not hold the window on top of the requests
// before it, so the window may answer before each one. A withdrawal follows a failure at once.
class AnsweringJob : public RawJob {
  public:
    AnsweringJob(std::unique_ptr<RawJob> job, AnswerPacer& pacer)
        : job_(std::move(job)), pacer_(pacer) {}
    void write(const char* data, std::size_t n) override {
        pacer_.answerIfDue();
        job_->write(data, n);
    }
    void finish() override {
        pacer_.answerIfDue();
        job_->finish();
    }
    void cancel() noexcept override { job_->cancel(); }
    int id() const override { return job_->id(); }

  private:
    std::unique_ptr<RawJob> job_;
    AnswerPacer& pacer_;
};

class AnsweringConnection : public PrinterConnection {
  public:
    AnsweringConnection(std::unique_ptr<PrinterConnection> connection, AnswerPacer& pacer)
        : connection_(std::move(connection)), pacer_(pacer) {}
    void checkAcceptingJobs() override {
        pacer_.answerIfDue();
        connection_->checkAcceptingJobs();
    }
    std::unique_ptr<RawJob> startDocument(const std::string& documentName) override {
        pacer_.answerIfDue();
        return std::make_unique<AnsweringJob>(connection_->startDocument(documentName), pacer_);
    }

  private:
    std::unique_ptr<PrinterConnection> connection_;
    AnswerPacer& pacer_;
};

class AnsweringPrinters : public ForwardingPrinterSystem {
  public:
    AnsweringPrinters(PrinterSystem& system, AnswerPacer& pacer)
        : ForwardingPrinterSystem(system), pacer_(pacer) {}
    std::vector<Printer> printers() override {
        pacer_.answerIfDue();
        return ForwardingPrinterSystem::printers();
    }
    std::optional<std::string> defaultPrinterEntry() override {
        pacer_.answerIfDue();
        return ForwardingPrinterSystem::defaultPrinterEntry();
    }
    std::unique_ptr<PrinterConnection> openPrinter(const std::string& deviceName) override {
        pacer_.answerIfDue();
        auto connection = ForwardingPrinterSystem::openPrinter(deviceName);
        if (!connection) return nullptr;
        return std::make_unique<AnsweringConnection>(std::move(connection), pacer_);
    }

  private:
    AnswerPacer& pacer_;
};

}  // namespace

struct PrintPress::Answering {
    Answering(PrinterSystem& system, FileSystem& files, std::function<void()> answer)
        : pacer(std::move(answer)), printers(system, pacer), files(files, pacer) {}
    AnswerPacer pacer;
    AnsweringPrinters printers;
    AnsweringFiles files;
};

PrintPress::PrintPress(PrintPressView& view, PrinterSystem& system, FileSystem& files,
                       const Settings& settings, MessageSink& messages,
                       std::function<void()> answer)
    : view_(view),
      answering_(std::make_unique<Answering>(system, files, std::move(answer))),
      settings_(settings),
      messages_(messages) {}

PrintPress::~PrintPress() = default;

bool PrintPress::start() {
    if (view_.fileListIndex() == -1) {
        messages_.show("Must Pick a File.", MsgStyle::OkCancel);
        return false;
    }
    if (view_.printerListIndex() == -1) {
        messages_.show("Must Pick a Printer.", MsgStyle::OkCancel);
        return false;
    }
    if (!ReadCopies(view_.copiesText(), CopiesRule::PrintButton).usable()) {
        messages_.show("Invalid number of Copies.", MsgStyle::OkCancel);
        return false;
    }
    sourceDir_ = WithTrailingSeparator(Trim(view_.currentDirectory()));
    printer_ = view_.selectedPrinter();
    const auto entries = view_.fileEntries();
    const auto selection = view_.fileSelection();
    for (std::size_t i = 0; i < entries.size() && i < selection.size(); ++i) {
        if (selection[i]) names_.push_back(entries[i]);
    }
    result_ = PressResult::Stopped;
    return true;
}

bool PrintPress::workFor(std::chrono::milliseconds budget) {
    if (result_ != PressResult::Stopped || stopping_) return false;
    answering_->pacer.restart();  // a slice begins when the window has answered
    return WorkSlice(budget, [this] {
        if (next_ >= names_.size()) {
            result_ = PressResult::Completed;
            view_.refreshLists();
            return false;
        }
        if (handleFile(names_[next_++])) {
            ++printed_;
        } else {
            stopping_ = true;
        }
        return !stopping_;
    });
}

void PrintPress::stop() {
    stopping_ = stopAsked_ = true;
}

// Prints one file and carries out the action. False when the press must stop.
bool PrintPress::handleFile(const std::string& entry) {
    const std::string name = PrintName(entry);
    const std::string path = sourceDir_ + name;
    if (answering_->files.kindOf(path) != PathKind::PlainFile) {
        messages_.show("Can't find file: " + path, MsgStyle::Exclamation, "Error");
        return false;
    }
    // The copies box is read again for every file.
    const CopiesCount asked = ReadCopies(view_.copiesText(), CopiesRule::PrintButton);
    if (!asked.usable()) {
        messages_.show("Invalid number of Copies.", MsgStyle::OkCancel);
        return false;
    }
    const auto printed = PrintCopies(path, printer_, asked.count, answering_->printers,
                                     answering_->files, SpoolOptions{EjectBetweenJobs(settings_)});
    for (const int id : printed.jobIds) jobs_.push_back({printed.printer, id});
    ShowNotices(CopiesNotices(printed), messages_);
    const AfterPrintAction action = view_.chosenAction().value_or(AfterPrintAction::Leave);
    const MoveTarget copyDir{Trim(settings_.copyDir)};
    AfterPrintOutcome after = CarryOutAfterPrint(action, printed, path, answering_->files, copyDir);
    if (after.fate == AfterPrintFate::NameTaken) {
        if (!MayReplaceCopy(after.destination, name, answering_->files, messages_)) return false;
        // The question may have stood open for a while: the printed file is looked at again.
        after = CarryOutAfterPrint(action, printed, path, answering_->files, copyDir);
    }
    if (const auto notice = AfterPrintNotice(after, path)) {
        messages_.show(notice->text, notice->style);
        return false;
    }
    return true;
}

}  // namespace vantrel
