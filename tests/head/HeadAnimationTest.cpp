// The animation's tick logic, from tables of ticks: the idle gestures, blinking and the talking mouth, and
// the timers that carry the steps out.

#include "head/HeadAnimation.h"
#include "head/HeadTimers.h"

#include <QElapsedTimer>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace qz {
namespace {

using Steps = std::map<int, AnimationStep>; // tick number -> the step it gives; every other tick gives none

void expectSteps(AnimationStep (*tick)(AnimationCounters&), int ticks, const Steps& expected,
                 AnimationCounters& counters) {
    for (int i = 1; i <= ticks; ++i) {
        const auto want = expected.find(i);
        EXPECT_EQ(tick(counters), want == expected.end() ? AnimationStep{} : want->second) << "tick " << i;
    }
}

TEST(HeadAnimation, IdleCycleGesturesAtTheTableTicksAndRestsElsewhere) {
    const Steps idle = {
        {209, {2, false}}, {210, {3, {}}},   {211, {4, {}}},    {212, {4, {}}},   {213, {3, {}}},
        {214, {2, {}}},    {215, {0, true}}, {409, {8, false}}, {410, {9, {}}},   {411, {10, {}}},
        {412, {10, {}}},   {413, {9, {}}},   {414, {8, {}}},    {415, {0, true}},
    };
    AnimationCounters counters;
    expectSteps(animateTick, 415, idle, counters);
    // Tick 415 starts the next cycle, which plays the same table again.
    EXPECT_EQ(counters.idle, 0);
    expectSteps(animateTick, 415, idle, counters);
}

TEST(HeadAnimation, BlinkClosesAt210AndOpensAt220ThenCountsAgain) {
    AnimationCounters counters;
    expectSteps(winkTick, 220, {{210, {1, {}}}, {220, {0, {}}}}, counters);
    EXPECT_EQ(counters.blink, 0);
    expectSteps(winkTick, 220, {{210, {1, {}}}, {220, {0, {}}}}, counters);
}

TEST(HeadAnimation, MouthRunsElevenToThirteenAndBackAfterAFirstTickThatShowsNothing) {
    AnimationCounters counters;
    std::vector<std::optional<int>> shown;
    for (int i = 0; i < 12; ++i)
        shown.push_back(talkTick(counters).frame);
    const std::vector<std::optional<int>> expected = {std::nullopt, 11, 12, 13, 12, 11,
                                                      11,           12, 13, 12, 11, 11};
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(counters.talk, 2);
}

TEST(HeadAnimation, NothingButTheirOwnCounterChanges) {
    AnimationCounters counters{100, 50, 3};
    animateTick(counters);
    winkTick(counters);
    talkTick(counters);
    EXPECT_EQ(counters.idle, 101);
    EXPECT_EQ(counters.blink, 51);
    EXPECT_EQ(counters.talk, 4);
}

// The timers carry the steps out: blinking is switched off for a gesture, stays off while the voice speaks
// in its middle, and comes back only when the gesture ends after the speech.
TEST(HeadTimers, SpeechDuringAGestureKeepsBlinkingOffUntilTheGestureEnds) {
    std::vector<int> frames;
    HeadTimers timers([&frames](int frame) { frames.push_back(frame); });
    EXPECT_TRUE(timers.animate().isActive());
    EXPECT_TRUE(timers.winkOn());
    EXPECT_FALSE(timers.talktimer().isActive());
    EXPECT_EQ(timers.animate().interval(), 160);
    EXPECT_EQ(timers.talktimer().interval(), 120);

    for (int i = 0; i < 210; ++i)
        timers.animate_Timer();
    EXPECT_FALSE(timers.winkOn());
    EXPECT_EQ(frames, (std::vector<int>{2, 3}));

    // The voice starts: idling stops and the mouth moves at once; blinking keeps its state.
    frames.clear();
    timers.setAnimate(false);
    timers.setTalktimer(true);
    EXPECT_TRUE(frames.empty()); // the first tick after start-up shows nothing
    for (int i = 0; i < 3; ++i)
        timers.talktimer_Timer();
    EXPECT_EQ(frames, (std::vector<int>{11, 12, 13}));
    EXPECT_FALSE(timers.winkOn());

    // The voice ends: the rest frame at once, then idling goes on from 211.
    timers.setTalktimer(false);
    timers.showRestFrame();
    timers.setAnimate(true);
    EXPECT_EQ(frames.back(), 0);
    frames.clear();
    for (int i = 211; i <= 214; ++i) {
        timers.animate_Timer();
        EXPECT_FALSE(timers.winkOn()) << "tick " << i;
    }
    timers.animate_Timer();
    EXPECT_TRUE(timers.winkOn());
    EXPECT_EQ(frames, (std::vector<int>{4, 4, 3, 2, 0}));
    EXPECT_EQ(timers.counters().talk, 4); // the next utterance goes on from where this one stopped

    // The next start shows the following mouth frame at once; switching on a running timer adds no tick.
    frames.clear();
    timers.setTalktimer(true);
    timers.setTalktimer(true);
    EXPECT_EQ(frames, (std::vector<int>{12}));
}

// `wink` in real time: the eyes shut after 210 ticks of 10 ms and open 10 ticks later, and switching it
// off keeps the count, which goes on when it is switched on again.
TEST(HeadTimers, BlinksEveryTwoPointTwoSecondsAndKeepsItsCountWhileOff) {
    std::vector<std::pair<qint64, int>> frames;
    QElapsedTimer clock;
    clock.start();
    HeadTimers timers([&](int frame) { frames.push_back({clock.elapsed(), frame}); });
    timers.setAnimate(false);
    QTest::qWait(1000);
    timers.setWink(false);
    const float kept = timers.counters().blink;
    EXPECT_NEAR(kept, 100, 10);
    QTest::qWait(500);
    EXPECT_EQ(timers.counters().blink, kept);
    EXPECT_TRUE(frames.empty());
    timers.setWink(true);
    QTest::qWait(1400);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].second, 1);
    EXPECT_NEAR(frames[0].first, 1500 + (210 - kept) * 10, 60);
    EXPECT_EQ(frames[1].second, 0);
    EXPECT_NEAR(frames[1].first - frames[0].first, 100, 40);
    EXPECT_LT(timers.counters().blink, 20);
}

} // namespace
} // namespace qz
