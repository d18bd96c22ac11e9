#pragma once

// The head's animation as plain functions of its three counters. Each timer tick of the head calls one of
// them and carries out the step it returns; nothing here knows about timers or windows.

#include <optional>

namespace qz {

// The frames of a head's strip, by role.
namespace HeadFrame {
inline constexpr int Count = 14;
inline constexpr int Rest = 0;
inline constexpr int Blink = 1;
inline constexpr int FirstMouth = 11;
} // namespace HeadFrame

// Single precision, as the counters have always been; each starts at 0 when the head window is made and is
// never reset by loading a head.
struct AnimationCounters {
    float idle = 0;  // advanced by `animate`
    float blink = 0; // advanced by `wink`
    float talk = 0;  // advanced by `talktimer`
};

// What one tick asks for: the frame to show, if any, and whether to switch the `wink` timer on or off.
struct AnimationStep {
    std::optional<int> frame;
    std::optional<bool> wink;

    bool operator==(const AnimationStep&) const = default;
};

// `animate` (160 ms): the two idle gestures at ticks 209-215 and 409-415 of a 415-tick cycle; blinking is
// off during each.
AnimationStep animateTick(AnimationCounters& counters);
// `wink` (10 ms): the eyes close at tick 210 and open at 220, which starts the count again.
AnimationStep winkTick(AnimationCounters& counters);
// `talktimer` (120 ms): the mouth runs 11, 12, 13, 12, 11 on counter values 1 to 5; the first tick after
// start-up (value 0) shows nothing.
AnimationStep talkTick(AnimationCounters& counters);

} // namespace qz
