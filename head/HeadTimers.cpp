#include "head/HeadTimers.h"

namespace qz {

HeadTimers::HeadTimers(std::function<void(int)> showFrame, QObject* parent)
    : QObject(parent), showFrame_(std::move(showFrame)) {
    animate_.setInterval(160);
    wink_.setInterval(10);
    talktimer_.setInterval(120);
    // The mouth's ticks decide when a frame is seen against the sound; a coarse timer may drift 5 %.
    talktimer_.setTimerType(Qt::PreciseTimer);
    connect(&animate_, &QTimer::timeout, this, &HeadTimers::animate_Timer);
    connect(&wink_, &QTimer::timeout, this, &HeadTimers::wink_Timer);
    connect(&talktimer_, &QTimer::timeout, this, &HeadTimers::talktimer_Timer);
    animate_.start();
    wink_.start();
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
