// A thread that raises a stop flag when a deadline passes, so that a script stops on time whatever
// its statements do: the interpreter looks at the flag before every statement, loop turn and call,
// and long built-ins and host calls poll it.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace vbscript::detail {

class Watchdog {
public:
    using Clock = std::chrono::steady_clock;

    Watchdog() = default;
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // From the deadline on, `flag` gets `bits` set, unless disarm() comes first. The thread starts on
    // the first arm().
    void arm(Clock::time_point deadline, std::atomic<uint32_t>* flag, uint32_t bits);
    void disarm();

private:
    void watch();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::thread thread_;
    bool armed_ = false;
    bool quit_ = false;
    Clock::time_point deadline_{};
    std::atomic<uint32_t>* flag_ = nullptr;
    uint32_t bits_ = 0;
};

} // namespace vbscript::detail
