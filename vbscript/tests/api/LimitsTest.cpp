// The limits a host relies on: the time-out that no statement outruns, the host's own stop, and the
// memory budget; after each the same host runs the next script.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "vbscript/ScriptHost.h"

using namespace vbscript;
using namespace std::chrono_literals;

namespace {

struct LimitsFixture : ::testing::Test {
    ScriptHost host;
    std::vector<ScriptErrorInfo> errors;
    void SetUp() override {
        host.setErrorHandler([this](const ScriptErrorInfo& e) { errors.push_back(e); });
        host.setMemoryBudget(16u << 20);
    }
    // The host still takes code and runs it.
    void expectHostStillWorks() {
        ASSERT_TRUE(host.addCode(u"Function Twice(n) : Twice = 2 * n : End Function"));
        auto r = host.run(u"Twice", {21});
        ASSERT_TRUE(r.has_value());
        EXPECT_EQ(r->toLong(), 42);
    }
};

struct RunawayCase {
    const char* name;
    const char16_t* code;
    int32_t error;
    int line; // the statement that was running
};

// Scripts that end by their time run against a short time-out; those that end by their memory get time
// enough to reach the budget on a busy machine.
constexpr std::chrono::milliseconds kShortTimeOut = 300ms, kLongTimeOut = 20s;

// Each script would run for ever or take all memory; every statement of them is slow or allocates.
const RunawayCase kRunaways[] = {
    {"slow body", u"Sub Main\n Do\n  s = String(3000000, \"x\")\n Loop\nEnd Sub", kTimeoutErrorNumber, 3},
    {"allocating loop",
     u"Sub Main\n Do\n  ReDim a(100000)\n  s = Space(100000) & s\n  s = \"\"\n Loop\nEnd Sub",
     kTimeoutErrorNumber, 0},
    {"keeping big strings",
     u"Sub Main\n Dim a(1000)\n For i = 0 To 1000\n  a(i) = String(1000000, \"x\")\n Next\nEnd Sub", 7, 4},
    {"keeping small values",
     u"Sub Main\n Set d = CreateObject(\"Scripting.Dictionary\")\n Do\n  d.Add n, String(100, \"z\") & n\n  "
     u"n = n + 1\n "
     u"Loop\nEnd Sub",
     7, 4},
    {"growing one string", u"Sub Main\n s = \"x\"\n Do\n  s = s & s\n Loop\nEnd Sub", 7, 4},
};

TEST_F(LimitsFixture, RunawayScriptsEndWithinTheBoundAndTheHostGoesOn) {
    for (const RunawayCase& c : kRunaways) {
        SCOPED_TRACE(c.name);
        errors.clear();
        host.reset();
        const bool byTime = c.error == kTimeoutErrorNumber;
        host.setTimeout(byTime ? kShortTimeOut : kLongTimeOut);
        ASSERT_TRUE(host.addCode(c.code));
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(host.run(u"Main"));
        // Before the watchdog, the clock was read every 1024 statements: a slow body ran for minutes.
        if (byTime) {
            EXPECT_LT(std::chrono::steady_clock::now() - start, kShortTimeOut + 2s);
        }
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].number, c.error) << toUtf8(errors[0].description);
        if (c.line) {
            EXPECT_EQ(errors[0].line, c.line);
        }
        EXPECT_GT(errors[0].line, 0);
        expectHostStillWorks();
    }
}

TEST_F(LimitsFixture, OutOfMemoryIsCatchableAndHeldMemoryStaysBounded) {
    host.setTimeout(2s);
    ASSERT_TRUE(host.addCode(
        u"On Error Resume Next\n"
        u"s = String(100000000, \"x\")\n"
        u"n = Err.Number : d = Err.Description\n"
        u"Set kept = CreateObject(\"Scripting.Dictionary\")\n"
        u"Sub Hoard\n On Error Resume Next\n Do\n  kept.Add kept.Count, String(200, \"y\")\n Loop\nEnd Sub"));
    EXPECT_EQ(host.eval(u"n")->toLong(), 7);
    EXPECT_EQ(host.eval(u"d")->toString(), u"Out of memory");
    EXPECT_TRUE(host.eval(u"IsEmpty(s)")->toBool());
    // Errors caught one after another do not let the script grow past its budget: it runs until the time-out.
    EXPECT_FALSE(host.run(u"Hoard"));
    EXPECT_EQ(host.lastError()->number, kTimeoutErrorNumber);
    const int32_t entries = host.eval(u"kept.Count")->toLong();
    EXPECT_GT(entries, 1000);
    EXPECT_LT(entries, (16 << 20) / 400); // each entry holds more than 400 bytes
    expectHostStillWorks();
}

TEST_F(LimitsFixture, TheBudgetIsTheHostsToSet) {
    ASSERT_TRUE(host.addCode(u"Sub Big : s = Space(10000000) : End Sub"));
    EXPECT_FALSE(host.run(u"Big")); // 20 MB of text against 16 MB
    EXPECT_EQ(errors.back().number, 7);
    host.setMemoryBudget(0);
    EXPECT_TRUE(host.run(u"Big"));
    EXPECT_EQ(host.memoryBudget(), 0u);
}

TEST_F(LimitsFixture, InterruptFromAnotherThreadStopsTheRunAtItsNextStatement) {
    host.setTimeout(0ms);
    host.interrupt(); // nothing runs: no effect on the next run
    ASSERT_TRUE(host.addCode(u"Sub Spin\n On Error Resume Next\n Do\n  n = n + 1\n Loop\nEnd Sub"));
    std::thread stopper([this] {
        while (!host.stopRequested()) {
            std::this_thread::sleep_for(20ms);
            host.interrupt();
        }
    });
    EXPECT_FALSE(host.run(u"Spin"));
    stopper.join();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, kTimeoutErrorNumber);
    EXPECT_EQ(errors[0].description, u"The script was stopped");
    EXPECT_EQ(errors[0].line, 4);
    EXPECT_FALSE(host.stopRequested());
    expectHostStillWorks();
}

// A host member that works until the script's time is up, as a long key sequence does.
class PatientObject : public HostObject {
public:
    explicit PatientObject(ScriptHost& host) : host_(host) {}
    int findMember(std::u16string_view name) override { return namesEqual(name, u"work") ? 0 : kNoMember; }
    Variant invoke(int, InvokeKind, const CallArgs&) override {
        while (!host_.stopRequested())
            std::this_thread::sleep_for(1ms);
        throw ScriptStopped();
    }

private:
    ScriptHost& host_;
};

TEST_F(LimitsFixture, AHostCallLearnsThatTheTimeIsUpAndEndsTheRun) {
    host.setTimeout(100ms);
    host.addObject(u"qz", std::make_shared<PatientObject>(host), true);
    ASSERT_TRUE(host.addCode(u"Dim after\nSub Main\n On Error Resume Next\n work\n after = True\nEnd Sub"));
    EXPECT_FALSE(host.run(u"Main"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, kTimeoutErrorNumber);
    EXPECT_EQ(errors[0].description, u"Script timed out: it ran longer than 100 ms");
    EXPECT_EQ(errors[0].line, 4);
    EXPECT_TRUE(host.eval(u"IsEmpty(after)")->toBool()); // On Error did not carry on
}

} // namespace
