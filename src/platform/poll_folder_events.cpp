#include <algorithm>
#include <utility>

#include "platform/folder_events.h"

namespace vantrel {

namespace {

class PolledFolders : public FolderEvents {
  public:
    PolledFolders(std::size_t count, StopSignals& stop, std::chrono::milliseconds interval,
                  std::string reason)
        : count_(count),
          stop_(stop),
          interval_(interval),
          nextLook_(Clock::now()),
          reason_(std::move(reason)) {}

    FolderWake wait(std::chrono::milliseconds timeout) override {
        FolderWake wake;
        const auto untilLook =
            std::chrono::ceil<std::chrono::milliseconds>(nextLook_ - Clock::now());
        const auto waited = std::max(std::chrono::milliseconds(0), std::min(untilLook, timeout));
        wake.stop = stop_.waitFor(waited);
        if (Clock::now() >= nextLook_) {
            nextLook_ = Clock::now() + interval_;
            for (std::size_t i = 0; i < count_; ++i) wake.changes.push_back({i, {}});
        }
        return wake;
    }

    std::string pollingReason() const override { return reason_; }

  private:
    using Clock = std::chrono::steady_clock;
    std::size_t count_;
    StopSignals& stop_;
    std::chrono::milliseconds interval_;
    Clock::time_point nextLook_;
    std::string reason_;
};

}  // namespace

std::unique_ptr<FolderEvents> PollFolders(const std::vector<std::string>& folders,
                                          StopSignals& stop, std::chrono::milliseconds interval,
                                          std::string reason) {
    return std::make_unique<PolledFolders>(folders.size(), stop, interval, std::move(reason));
}

}  // namespace vantrel
