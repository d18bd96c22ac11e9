#pragma once

// The head's three timers and their counters. Each tick calls one of the plain functions of HeadAnimation
// and carries out its step. The voice's start and end switch the timers through the head's port.

#include "head/HeadAnimation.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

namespace qz {

class HeadTimers : public QObject {
    Q_OBJECT
public:
    // `showFrame` puts a frame in the picture area. `animate` and `wink` run from here on; `talktimer` waits
    // for the voice.
    explicit HeadTimers(std::function<void(int)> showFrame, QObject* parent = nullptr);

    // Each switch is like setting the timer's Enabled: switching on a running timer does not restart it.
    void setAnimate(bool on) { enable(animate_, on); }
    // The voice starts a stream as its sound is heard, so the mouth's first tick comes at once rather than
    // one interval (120 ms) after the sound; the ticks after it keep their interval.
    void setTalktimer(bool on);
    void setWink(bool on);
    void showRestFrame() { showFrame_(HeadFrame::Rest); }

    // The tick handlers the timers call.
    void animate_Timer();
    void wink_Timer();
    void talktimer_Timer();

    static constexpr int WinkInterval = 10; // ms

    const AnimationCounters& counters() const { return counters_; }
    const QTimer& animate() const { return animate_; }
    bool winkOn() const { return winkOn_; }
    const QTimer& talktimer() const { return talktimer_; }

private:
    static void enable(QTimer& timer, bool on);
    void apply(const AnimationStep& step);
    // `wink` counts a tick every 10 ms, but only two ticks in 220 do anything: the program is woken for
    // those and then runs the ticks due since, instead of waking a hundred times a second. Switching
    // `wink` off first runs the ticks due until then.
    void catchUpWink();
    void scheduleWink();

    std::function<void(int)> showFrame_;
    AnimationCounters counters_;
    QTimer animate_;
    QTimer talktimer_;
    bool winkOn_ = false;
    QTimer winkWake_;
    QElapsedTimer winkSince_; // since `wink` was last switched on
    qint64 winkTicks_ = 0;    // ticks run since then
};

} // namespace qz
