#include "Watchdog.h"

namespace vbscript::detail {

Watchdog::~Watchdog() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void Watchdog::arm(Clock::time_point deadline, std::atomic<uint32_t>* flag, uint32_t bits) {
    {
        std::lock_guard lock(mutex_);
        armed_ = true;
        deadline_ = deadline;
        flag_ = flag;
        bits_ = bits;
        if (!thread_.joinable()) thread_ = std::thread([this] { watch(); });
    }
    wake_.notify_all();
}

void Watchdog::disarm() {
    std::lock_guard lock(mutex_);
    armed_ = false;
}

void Watchdog::watch() {
    std::unique_lock lock(mutex_);
    while (!quit_) {
        if (!armed_) {
            wake_.wait(lock);
            continue;
        }
        // Woken early by a new arm() or the end; a disarm() is seen when the deadline comes.
        if (wake_.wait_until(lock, deadline_) == std::cv_status::timeout && armed_ &&
            Clock::now() >= deadline_) {
            flag_->fetch_or(bits_, std::memory_order_relaxed);
            armed_ = false;
        }
    }
}

} // namespace vbscript::detail
