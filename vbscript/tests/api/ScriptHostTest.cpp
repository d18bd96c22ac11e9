// The embedding API as a host program uses it: host objects, ByRef, globals, errors, limits.
#include <gtest/gtest.h>

#include <chrono>

#include "vbscript/ScriptHost.h"

using namespace vbscript;
using namespace std::chrono_literals;

namespace {

// A host object with a property, a method taking a ByRef argument, an indexed default member and a
// method that fails.
class FakeWindow : public HostObject {
public:
    std::u16string caption = u"start";
    std::vector<std::u16string> said;
    std::vector<std::u16string> boxes{u"phrase", u"first", u"second"};

    enum { Caption = 1, Speak, SetVoice, TextBox, Fail };
    int findMember(std::u16string_view name) override {
        static const char16_t* const names[] = {u"Caption", u"speak", u"setvoice", u"textbox", u"fail"};
        for (int i = 0; i < 5; ++i)
            if (namesEqual(name, names[i])) return i + 1;
        return kNoMember;
    }
    Variant invoke(int id, InvokeKind kind, const CallArgs& a) override {
        switch (id) {
        case kDefaultMember:
        case TextBox: {
            if (a.size() < 1) throw ScriptError(450);
            size_t i = static_cast<size_t>(a[0].toLong());
            if (i >= boxes.size()) throw ScriptError(9);
            if (kind == InvokeKind::Let) {
                boxes[i] = a[1].toString();
                return {};
            }
            return Variant(boxes[i]);
        }
        case Caption:
            if (kind == InvokeKind::Let) {
                caption = a[0].toString();
                return {};
            }
            return Variant(caption);
        case Speak:
            said.push_back(a[0].toString());
            return {};
        case SetVoice:
            // Writes its answer back into the caller's variable.
            lastByRef = a.isByRef(0);
            a[0] = Variant(u"voice " + a[0].toString());
            return {};
        case Fail:
            throw ScriptError(5, u"the device is missing", u"FakeWindow");
        }
        throw ScriptError(438);
    }
    bool lastByRef = false;
};

struct HostFixture : ::testing::Test {
    ScriptHost host;
    std::shared_ptr<FakeWindow> window = std::make_shared<FakeWindow>();
    std::vector<ScriptErrorInfo> errors;
    void SetUp() override {
        host.setErrorHandler([this](const ScriptErrorInfo& e) { errors.push_back(e); });
        host.addObject(u"qz", window, true);
    }
    Variant eval(const char16_t* expr) {
        auto v = host.eval(expr);
        EXPECT_TRUE(v.has_value());
        return v.value_or(Variant());
    }
};

TEST_F(HostFixture, MembersAreReachableByNameAndBare) {
    ASSERT_TRUE(host.addCode(u"qz.Caption = \"one\"\nspeak \"hi\"\nQZ.SPEAK caption & \"!\""));
    EXPECT_EQ(window->caption, u"one");
    ASSERT_EQ(window->said.size(), 2u);
    EXPECT_EQ(window->said[1], u"one!");
    EXPECT_TRUE(errors.empty());
}

TEST_F(HostFixture, ByRefArgumentIsWrittenBackToTheCallersVariable) {
    ASSERT_TRUE(
        host.addCode(u"Dim v\nv = \"1\"\nsetvoice v\nDim w : w = \"2\"\nsetvoice (w)\n"
                     u"Sub Main()\n Dim local : local = \"3\"\n qz.setvoice local\n speak local\nEnd Sub"));
    EXPECT_EQ(eval(u"v").toString(), u"voice 1");
    EXPECT_EQ(eval(u"w").toString(), u"2"); // parentheses pass a copy
    ASSERT_TRUE(host.run(u"Main"));
    EXPECT_TRUE(window->lastByRef);
    EXPECT_EQ(window->said.back(), u"voice 3");
}

TEST_F(HostFixture, IndexedAccessGoesThroughTheDefaultMember) {
    ASSERT_TRUE(host.addCode(u"x = qz(1)\nqz.textbox(2) = \"changed\""));
    EXPECT_EQ(eval(u"x").toString(), u"first");
    EXPECT_EQ(window->boxes[2], u"changed");
    EXPECT_EQ(eval(u"qz(0) & \"|\" & textbox(2)").toString(), u"phrase|changed");
}

// A control whose default member is its Text, and an array of them reached by index or by Item, as
// the program hands `textinput` and `Checkbox` to plugins.
class FakeControl : public HostObject {
public:
    std::u16string text;
    int findMember(std::u16string_view name) override { return namesEqual(name, u"Text") ? 1 : kNoMember; }
    Variant invoke(int id, InvokeKind kind, const CallArgs& a) override {
        if (id != kDefaultMember && id != 1) throw ScriptError(438);
        if (kind == InvokeKind::Let) {
            if (a.size() != 1) throw ScriptError(450);
            text = a[0].toString();
            return {};
        }
        if (a.size() != 0) throw ScriptError(450);
        return Variant(text);
    }
};

class FakeControls : public HostObject {
public:
    std::vector<std::shared_ptr<FakeControl>> items{std::make_shared<FakeControl>(),
                                                    std::make_shared<FakeControl>()};
    std::shared_ptr<FakeControls> inner; // a property holding another array of controls
    int findMember(std::u16string_view name) override {
        if (namesEqual(name, u"Item")) return 1;
        if (namesEqual(name, u"Inner")) return 2;
        return kNoMember;
    }
    Variant invoke(int id, InvokeKind kind, const CallArgs& a) override {
        if (id == 2) {
            // Reads with indexes pick a control; writes with indexes are left to the interpreter.
            if (kind != InvokeKind::Get && kind != InvokeKind::Call) throw ScriptError(450);
            if (a.size() != 0) return inner->invoke(kDefaultMember, kind, a);
            return Variant(std::shared_ptr<HostObject>(inner));
        }
        // Indexed assignment reaches the control's own default member.
        size_t indexes = kind == InvokeKind::Let ? a.size() - 1 : a.size();
        if (indexes != 1) throw ScriptError(450);
        size_t i = static_cast<size_t>(a[0].toLong());
        if (i >= items.size()) throw ScriptError(9);
        if (kind == InvokeKind::Let) {
            items[i]->text = a[1].toString();
            return {};
        }
        return Variant(std::shared_ptr<HostObject>(items[i]));
    }
};

TEST(HostAssignmentTest, IndexedWritesOnAddedObjectsGoThroughTheDefaultMember) {
    for (bool membersGlobal : {false, true}) {
        SCOPED_TRACE(membersGlobal);
        ScriptHost host;
        std::vector<ScriptErrorInfo> errors;
        host.setErrorHandler([&](const ScriptErrorInfo& e) { errors.push_back(e); });
        auto controls = std::make_shared<FakeControls>();
        controls->inner = std::make_shared<FakeControls>();
        host.addObject(u"textinput", controls, membersGlobal);
        ASSERT_TRUE(
            host.addCode(u"textinput(0) = \"zero\"\n"
                         u"TEXTINPUT(1).Text = \"one\"\n"
                         u"Sub Main()\n textinput.Item(1) = textinput(1) & \"!\"\n"
                         u" textinput.Inner(0) = 7\n textinput.Inner(1).Text = textinput(0)\nEnd Sub"));
        ASSERT_TRUE(host.run(u"Main")) << errors.back().number << " at line " << errors.back().line;
        EXPECT_EQ(controls->items[0]->text, u"zero");
        EXPECT_EQ(controls->items[1]->text, u"one!");
        EXPECT_EQ(controls->inner->items[0]->text, u"7");
        EXPECT_EQ(controls->inner->items[1]->text, u"zero");
        // The name itself stays bound to the object; out-of-range indexes are the host's errors.
        EXPECT_FALSE(host.addCode(u"textinput = 1"));
        EXPECT_FALSE(host.addCode(u"textinput(5) = 1"));
        ASSERT_EQ(errors.size(), 2u);
        EXPECT_EQ(errors[0].number, 501);
        EXPECT_EQ(errors[1].number, 9);
    }
}

TEST_F(HostFixture, HostFailureIsAScriptErrorThatOnErrorCatches) {
    ASSERT_TRUE(
        host.addCode(u"On Error Resume Next\nfail\nn = Err.Number : d = Err.Description : s = Err.Source"));
    EXPECT_EQ(eval(u"n").toLong(), 5);
    EXPECT_EQ(eval(u"d").toString(), u"the device is missing");
    EXPECT_EQ(eval(u"s").toString(), u"FakeWindow");
    EXPECT_FALSE(host.addCode(u"\n\n  fail"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, 5);
    EXPECT_EQ(errors[0].description, u"the device is missing");
    EXPECT_EQ(errors[0].line, 3);
    EXPECT_EQ(errors[0].column, 3);
    EXPECT_FALSE(errors[0].compileError);
}

TEST_F(HostFixture, CompileErrorRunsNothingAndReportsWhere) {
    EXPECT_FALSE(host.addCode(u"speak \"x\"\nIf True Then\n  y = (1 +\nEnd If"));
    EXPECT_TRUE(window->said.empty());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].compileError);
    EXPECT_EQ(errors[0].line, 3);
    EXPECT_EQ(errors[0].source, u"Microsoft VBScript compilation error");
}

TEST_F(HostFixture, RunOfAnUnknownProcedureNamesIt) {
    ASSERT_TRUE(host.addCode(u"Sub draw() : End Sub"));
    EXPECT_TRUE(host.run(u"DRAW"));
    EXPECT_FALSE(host.run(u"Changer"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].description.find(u"Changer"), std::u16string::npos);
}

TEST_F(HostFixture, TimeOutStopsAnEndlessLoopAndTheHostKeepsWorking) {
    host.setTimeout(200ms);
    ASSERT_TRUE(host.addCode(
        u"Sub Spin()\n On Error Resume Next\n Do\n Loop\nEnd Sub\nSub Main() : speak \"ok\" : End Sub"));
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(host.run(u"Spin"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, kTimeoutErrorNumber);
    EXPECT_NE(errors[0].description.find(u"timed out"), std::u16string::npos);
    EXPECT_TRUE(host.run(u"Main"));
    EXPECT_EQ(window->said.back(), u"ok");
}

TEST_F(HostFixture, TimeOutAlsoStopsARunawayRegularExpressionSearch) {
    // Without the time-out the search would run to its own step budget and end with error 28.
    host.setTimeout(10ms);
    ASSERT_TRUE(host.addCode(u"Sub Search()\n Set re = New RegExp\n re.Pattern = \"^(a|a?)+$\"\n"
                             u" x = re.Test(String(40, \"a\") & \"b\")\nEnd Sub"));
    EXPECT_FALSE(host.run(u"Search"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, kTimeoutErrorNumber);
}

TEST_F(HostFixture, DeepRecursionIsErrorTwentyEight) {
    ASSERT_TRUE(
        host.addCode(u"Function R(n) : R = R(n + 1) + 1 : End Function\nSub Main() : x = R(0) : End Sub"));
    EXPECT_FALSE(host.run(u"Main"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, 28);
    EXPECT_EQ(errors[0].description, u"Out of stack space");
    // Deeply nested source is refused the same way, without exhausting the parser's stack.
    std::u16string nested(100000, u'(');
    EXPECT_FALSE(host.addCode(u"x = " + nested));
}

TEST_F(HostFixture, ResetDropsCodeAndObjects) {
    ASSERT_TRUE(host.addCode(u"Dim kept : kept = 1\nSub Main() : End Sub"));
    host.reset();
    EXPECT_FALSE(host.run(u"Main"));
    EXPECT_FALSE(host.addCode(u"Option Explicit\nx = kept"));
    EXPECT_EQ(errors.back().number, 500);
    EXPECT_FALSE(host.addCode(u"speak 1")); // the object went with the reset
    EXPECT_EQ(errors.back().number, 13);
}

class CountingUi : public ScriptUi {
public:
    std::u16string lastPrompt, lastTitle;
    int msgBox(const std::u16string& prompt, int, const std::u16string& title) override {
        lastPrompt = prompt;
        lastTitle = title;
        return 6; // vbYes
    }
    std::optional<std::u16string> inputBox(const std::u16string&, const std::u16string&,
                                           const std::u16string& def) override {
        return def + u"!";
    }
};

TEST(ScriptUiTest, MsgBoxAndInputBoxGoThroughTheEmbedder) {
    CountingUi ui;
    ScriptHost host(&ui);
    ASSERT_TRUE(host.addCode(
        u"r = MsgBox(\"Proceed?\", vbYesNo, \"Title\")\ni = InputBox(\"Name\", \"T\", \"Bob\")"));
    EXPECT_EQ(ui.lastPrompt, u"Proceed?");
    EXPECT_EQ(ui.lastTitle, u"Title");
    EXPECT_EQ(host.eval(u"r = vbYes")->toBool(), true);
    EXPECT_EQ(host.eval(u"i")->toString(), u"Bob!");
}

TEST(VariantTest, ConversionsFollowVBScript) {
    EXPECT_EQ(Variant(u"12").toLong(), 12);
    EXPECT_EQ(Variant(2.5).toLong(), 2);
    EXPECT_EQ(Variant(true).toString(), u"True");
    EXPECT_EQ(Variant(0.1).toString(), u"0.1");
    EXPECT_THROW(Variant(u"abc").toDouble(), ScriptError);
    EXPECT_THROW(Variant::null().toString(), ScriptError);
    try {
        Variant(70000).toInteger();
        FAIL();
    } catch (const ScriptError& e) {
        EXPECT_EQ(e.number, 6);
    }
    Variant a = Variant::fromVector({Variant(1), Variant(u"x")});
    Variant b = a;
    b.array().items[0] = Variant(2);
    EXPECT_EQ(a.array().items[0].toLong(), 1); // arrays are copied, not shared
}

} // namespace
