#include "engine/ListeningState.h"

#include <gtest/gtest.h>

namespace qz {
namespace {

ListeningState stateOf(bool listening, bool asleep, bool voiceidle) {
    ListeningState state;
    if (asleep) state.sleep();
    if (listening) state.activate();
    state.setVoiceIdle(voiceidle);
    return state;
}

TEST(DispatchDecision, FirstRowWhoseTypeAndConditionHold) {
    using A = CommandAction;
    struct Case {
        const char* type;
        bool listening, asleep, voiceidle;
        CommandAction expected;
    };
    const Case cases[] = {
        {"activate", true, false, true, A::AlreadyListening},
        {"activate", false, false, true, A::Activate},
        {"activate", false, true, true, A::None}, // only the menu wakes the program
        {"activate", true, true, true, A::None},
        {"activate", false, false, false, A::None}, // nothing acts while the voice speaks
        {"deactivate", true, false, true, A::Deactivate},
        {"deactivate", true, true, true, A::Deactivate}, // its row does not ask about sleep
        {"deactivate", false, false, true, A::None},
        {"deactivate", true, false, false, A::None},
        {"sleep", true, false, true, A::Sleep},
        {"sleep", true, true, true, A::None},
        {"sleep", false, false, true, A::None},
        {"plugin", true, false, true, A::RunPlugin},
        {"plugin", true, true, true, A::RunPlugin},
        {"plugin", false, true, true, A::None},
        {"plugin", true, false, false, A::None},
        {"repeat", true, false, true, A::Repeat},
        {"repeat", false, false, true, A::None},
        {"repeat", true, false, false, A::None},
        {"script", true, false, true, A::None},
        {"Activate", false, false, true, A::None}, // types are compared exactly
        {"activate ", false, false, true, A::None},
        {"", true, false, true, A::None},
    };
    for (const Case& c : cases) {
        const ListeningState state = stateOf(c.listening, c.asleep, c.voiceidle);
        EXPECT_EQ(dispatchDecision(QString::fromUtf8(c.type), state), c.expected)
            << '"' << c.type << "\" listening=" << c.listening << " asleep=" << c.asleep
            << " voiceidle=" << c.voiceidle;
    }
}

TEST(ListeningState, TransitionsAndTheStatusTheyShow) {
    ListeningState state;
    EXPECT_EQ(state.statusText(), "Not listening"); // start-up: awake, not listening, voice idle
    EXPECT_TRUE(state.voiceidle());
    state.activate();
    EXPECT_EQ(state.statusText(), "Listening...");
    state.sleep();
    EXPECT_FALSE(state.listening());
    EXPECT_TRUE(state.asleep());
    EXPECT_EQ(state.statusText(), "Sleeping...");
    state.wake();
    EXPECT_FALSE(state.listening()); // waking does not switch listening on
    EXPECT_EQ(state.statusText(), "Not listening");
    state.activate();
    state.deactivate();
    EXPECT_EQ(state.statusText(), "Not listening");
}

TEST(ListeningState, DictationModes) {
    ListeningState state;
    EXPECT_FALSE(state.isDictating());
    state.setDictationMode(kDictating.toString());
    EXPECT_TRUE(state.isDictating());
    EXPECT_FALSE(state.isCapturing());
    state.setDictationMode("capturesentence");
    EXPECT_TRUE(state.isCapturing());
    state.setDictationMode("Dictating"); // compared exactly
    EXPECT_FALSE(state.isDictating());
}

} // namespace
} // namespace qz
