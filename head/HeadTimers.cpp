#include "head/HeadTimers.h"

#include <algorithm>

namespace qz {

HeadTimers::HeadTimers(std::function<void(int)> showFrame, QObject* parent)
    : QObject(parent), showFrame_(std::move(showFrame)) {
    animate_.setInterval(160);
    talktimer_.setInterval(120);
    winkWake_.setSingleShot(true);
    winkWake_.setTimerType(Qt::PreciseTimer);
    // The mouth's ticks decide when a frame is seen against the sound; a coarse timer may drift 5 %.
    talktimer_.setTimerType(Qt::PreciseTimer);
    connect(&animate_, &QTimer::timeout, this, &HeadTimers::animate_Timer);
    connect(&winkWake_, &QTimer::timeout, this, [this] {
        catchUpWink();
        scheduleWink();
    });
    connect(&talktimer_, &QTimer::timeout, this, &HeadTimers::talktimer_Timer);
    animate_.start();
    setWink(true);
}

void HeadTimers::enable(QTimer& timer, bool on) {
    if (!on)
        timer.stop();
    else if (!timer.isActive())
        timer.start();
}

void HeadTimers::setTalktimer(bool on) {
    const bool starting = on && !talktimer_.isActive();
    enable(talktimer_, on);
    if (starting) talktimer_Timer();
}

void HeadTimers::setWink(bool on) {
    if (on == winkOn_) return;
    if (on) {
        winkOn_ = true;
        winkSince_.start();
        winkTicks_ = 0;
        scheduleWink();
    } else {
        catchUpWink();
        winkOn_ = false;
        winkWake_.stop();
    }
}

void HeadTimers::catchUpWink() {
    const qint64 due = winkSince_.elapsed() / WinkInterval;
    while (winkOn_ && winkTicks_ < due) {
        ++winkTicks_;
        const AnimationStep step = winkTick(counters_);
        apply(step);
        if (step.frame) {
            // A late wake-up drops the ticks it missed, as a timer does, so the eyes stay shut for ten
            // ticks from when they were seen to shut.
            winkSince_.restart();
            winkTicks_ = 0;
            return;
        }
    }
}

void HeadTimers::scheduleWink() {
    // The next tick that does something: the blink counter reaching 210 (eyes shut) or 220 (open).
    const qint64 count = qint64(counters_.blink);
    const qint64 ahead = count < 210 ? 210 - count : std::max<qint64>(1, 220 - count);
    const qint64 dueMs = (winkTicks_ + ahead) * WinkInterval;
    winkWake_.start(int(std::max<qint64>(0, dueMs - winkSince_.elapsed())));
}

void HeadTimers::apply(const AnimationStep& step) {
    // The idle table switches blinking off before the gesture's first frame and on after the rest frame.
    if (step.wink == false) setWink(false);
    if (step.frame) showFrame_(*step.frame);
    if (step.wink == true) setWink(true);
}

void HeadTimers::animate_Timer() {
    apply(animateTick(counters_));
}

void HeadTimers::wink_Timer() {
    apply(winkTick(counters_));
}

void HeadTimers::talktimer_Timer() {
    apply(talkTick(counters_));
}

} // namespace qz
