// The service's following of spooled files' jobs to their end, and what then becomes of the
// files.

#include <set>

#include "autoprint/hot_folder_service.h"
#include "autoprint/journal_lines.h"

namespace vantrel {

namespace {

// How a followed file's jobs ended, the worst first: one aborted or cancelled fails the file, one
// the spooler lost leaves it kept; nothing when every job completed.
std::optional<FollowedJob> WorstEnd(const std::vector<FollowedJob>& jobs) {
    std::optional<FollowedJob> worst;
    for (const FollowedJob& job : jobs) {
        const JobState state = job.last.state;
        if (state == JobState::Aborted || state == JobState::Cancelled) return job;
        if (state == JobState::Unknown) worst = job;
    }
    return worst;
}

std::string EndedText(const FollowedJob& job) {
    const char* how = job.last.state == JobState::Aborted     ? "was aborted"
                      : job.last.state == JobState::Cancelled ? "was cancelled"
                                                              : "is no longer known to the spooler";
    return "job " + std::to_string(job.job.id) + " " + how +
           (job.last.reason.empty() ? "" : ": " + job.last.reason);
}

}  // namespace

void HotFolderService::follow(Folder& folder, const std::string& name, const SpooledFile& entry) {
    std::vector<JobRef> jobs;
    for (int id : entry.jobs) {
        if (id > 0) jobs.push_back({entry.printer, id});  // an empty file sent no document
    }
    const auto index = static_cast<std::size_t>(&folder - folders_.data());
    following_.insert_or_assign(
        pathOf(folder, name),
        Followed{index, name, entry, JobFollower(jobs, seams_.now()), seams_.now(), false});
}

// Asks about the jobs that are due, one step each: a printer that holds its jobs keeps its file
// waiting, never the others.
void HotFolderService::followJobs() {
    for (auto it = following_.begin(); it != following_.end();) {
        Followed& followed = it->second;
        if (followed.due && *followed.due > seams_.now()) {
            ++it;
            continue;
        }
        followed.due = followed.follower.step(seams_.printers, seams_.now());
        if (!followed.due) {
            finish(it->first, followed);
            it = following_.erase(it);
            continue;
        }
        for (const FollowedJob& job : followed.follower.jobs()) {
            if (job.last.state == JobState::Stopped && !followed.toldHeld) {
                followed.toldHeld = true;
                journal_(HeldLine(followed.name, job.job.printer,
                                  "job " + std::to_string(job.job.id) + " stopped" +
                                      (job.last.reason.empty() ? "" : ": " + job.last.reason)));
            }
        }
        ++it;
    }
    // Once per pause of a printer, whichever files wait on it.
    std::set<std::string> paused;
    for (const auto& [path, followed] : following_) {
        for (const FollowedJob& job : followed.follower.jobs()) {
            if (!job.ended() && job.last.printerPaused) paused.insert(job.job.printer);
        }
    }
    for (const std::string& printer : paused) {
        if (!pausedPrinters_.contains(printer)) journal_(PausedLine(printer));
    }
    pausedPrinters_ = std::move(paused);
}

void HotFolderService::finish(const std::string& path, const Followed& followed) {
    Folder& folder = folders_.at(followed.folder);
    const SpooledFile& entry = followed.entry;
    const DroppedFile file{folder.place.folder, path, entry.identity};
    const DropSeams seams{seams_.printers, seams_.files, kept_};
    const auto worst = WorstEnd(followed.follower.jobs());
    DroppedOutcome outcome;
    if (!worst) {
        outcome = RemovePrintedFile(file, entry.identity, seams);
    } else if (worst->last.state == JobState::Unknown) {
        // Printed or not, nobody can tell: the file stays, and is not printed again unasked.
        noteSaved(kept_.add(seams_.files, path, entry.identity), Record::KeptFiles);
        journal_(CompletionUnknownLine(followed.name, entry.printer, EndedText(*worst)));
        return release(folder, path, true);
    } else {
        outcome = GiveUpDroppedFile(file, EndedText(*worst), seams);
    }
    outcome.printer = entry.printer;
    const std::string completed =
        CompletedLine(followed.name, entry.printer, entry.copies, entry.identity.size);
    if (outcome.fate == DroppedFate::Printed) {
        release(folder, path);
        folder.settle.forget(followed.name);
        return journal_(completed);
    }
    if (outcome.fate == DroppedFate::ChangedAfterPrint) {
        release(folder, path);
        journal_(ChangedLine(completed));
        return settleAgain(folder, followed.name);
    }
    if (outcome.fate == DroppedFate::PrintedKept) {
        release(folder, path, true);
        noteSaved(outcome.unsaved, Record::KeptFiles);
        return journal_(UndeletableLine(completed, outcome.error.message()));
    }
    report(folder, followed.name, outcome, entry);
}

}  // namespace vantrel
