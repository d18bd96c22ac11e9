#include "head/HeadAnimation.h"

namespace qz {

AnimationStep animateTick(AnimationCounters& counters) {
    counters.idle += 1;
    // Each gesture runs out and back: three frames, the last one held for a second tick.
    static constexpr int firstGesture[] = {2, 3, 4, 4, 3, 2};
    static constexpr int secondGesture[] = {8, 9, 10, 10, 9, 8};
    const float tick = counters.idle;
    if (tick == 209) return {firstGesture[0], false};
    if (tick >= 210 && tick <= 214) return {firstGesture[int(tick) - 209], std::nullopt};
    if (tick == 215) return {HeadFrame::Rest, true};
    if (tick == 409) return {secondGesture[0], false};
    if (tick >= 410 && tick <= 414) return {secondGesture[int(tick) - 409], std::nullopt};
    if (tick == 415) {
        counters.idle = 0;
        return {HeadFrame::Rest, true};
    }
    return {};
}

AnimationStep winkTick(AnimationCounters& counters) {
    counters.blink += 1;
    if (counters.blink == 210) return {HeadFrame::Blink, std::nullopt};
    if (counters.blink == 220) {
        counters.blink = 0;
        return {HeadFrame::Rest, std::nullopt};
    }
    return {};
}

AnimationStep talkTick(AnimationCounters& counters) {
    static constexpr int mouth[] = {11, 12, 13, 12, 11};
    AnimationStep step;
    const float value = counters.talk;
    if (value >= 1 && value <= 5 && value == float(int(value))) step.frame = mouth[int(value) - 1];
    counters.talk += 1;
    if (counters.talk == 6) counters.talk = 1;
    return step;
}

} // namespace qz
