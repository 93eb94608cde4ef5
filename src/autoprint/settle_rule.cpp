#include "autoprint/settle_rule.h"

#include <algorithm>
#include <unordered_set>

namespace vantrel {

void SettleTracker::schedule(const std::string& name, Entry& entry, std::optional<SteadyTime> at) {
    if (entry.due) due_.erase({*entry.due, name});
    entry.due = at;
    if (at) due_.insert({*at, name});
}

void SettleTracker::note(const std::string& name, const std::optional<FileIdentity>& now,
                         SteadyTime at) {
    if (!now) {
        forget(name);
        return;
    }
    auto [it, added] = entries_.try_emplace(name);
    Entry& entry = it->second;
    if (added || !(entry.identity == *now)) {
        entry.identity = *now;
        entry.since = at;
        schedule(name, entry, at + settle_);
    }
}

bool SettleTracker::settled(const std::string& name, const std::optional<FileIdentity>& now,
                            SteadyTime at) {
    auto it = entries_.find(name);
    if (!now || it == entries_.end() || !(it->second.identity == *now)) {
        note(name, now, at);
        return false;
    }
    Entry& entry = it->second;
    if (at - entry.since >= settle_) {
        schedule(name, entry, std::nullopt);
        return true;
    }
    schedule(name, entry, entry.since + settle_);
    return false;
}

std::vector<std::string> SettleTracker::takeDue(SteadyTime at) {
    std::vector<std::string> names;
    while (!due_.empty() && due_.begin()->first <= at) {
        auto node = due_.extract(due_.begin());
        entries_.at(node.value().second).due.reset();
        names.push_back(std::move(node.value().second));
    }
    return names;
}

std::optional<SteadyTime> SettleTracker::nextDue() const {
    if (due_.empty()) return std::nullopt;
    return due_.begin()->first;
}

void SettleTracker::recheckAt(const std::string& name, SteadyTime at) {
    auto it = entries_.find(name);
    if (it != entries_.end()) schedule(name, it->second, at);
}

void SettleTracker::forget(const std::string& name) {
    auto it = entries_.find(name);
    if (it == entries_.end()) return;
    schedule(name, it->second, std::nullopt);
    entries_.erase(it);
}

void SettleTracker::keepOnly(const std::vector<std::string>& present) {
    const std::unordered_set<std::string> listed(present.begin(), present.end());
    std::vector<std::string> gone;
    for (const auto& [name, entry] : entries_) {
        if (!listed.contains(name)) gone.push_back(name);
    }
    for (const auto& name : gone) forget(name);
}

}  // namespace vantrel
