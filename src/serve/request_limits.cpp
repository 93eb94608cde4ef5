#include "serve/request_limits.h"

#include <algorithm>

namespace vantrel {

RateLimit::RateLimit(int perSecond) : perSecond_(perSecond), level_(perSecond) {}

bool RateLimit::admit(Clock::time_point now) {
    std::lock_guard lock(mutex_);
    if (filled_) {
        const double seconds = std::chrono::duration<double>(now - *filled_).count();
        level_ = std::min(perSecond_, level_ + std::max(0.0, seconds) * perSecond_);
    }
    filled_ = now;
    if (level_ < 1.0) return false;
    level_ -= 1.0;
    return true;
}

ConcurrencyLimit::Slot::~Slot() {
    std::lock_guard lock(limit_.mutex_);
    --limit_.taken_;
}

std::unique_ptr<ConcurrencyLimit::Slot> ConcurrencyLimit::enter() {
    std::lock_guard lock(mutex_);
    if (taken_ >= most_) return nullptr;
    ++taken_;
    return std::make_unique<Slot>(*this);
}

}  // namespace vantrel
