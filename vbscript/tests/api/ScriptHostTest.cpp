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
    int defaultMember() const override { return TextBox; }
    Variant invoke(int id, InvokeKind kind, const CallArgs& a) override {
        switch (id) {
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
    int defaultMember() const override { return 1; }
    Variant invoke(int id, InvokeKind kind, const CallArgs& a) override {
        if (id != 1) throw ScriptError(438);
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
    int defaultMember() const override { return 1; }
    Variant invoke(int id, InvokeKind kind, const CallArgs& a) override {
        if (id == 2) {
            // Reads with indexes pick a control; writes with indexes are left to the interpreter.
            if (kind != InvokeKind::Get && kind != InvokeKind::Call) throw ScriptError(450);
            if (a.size() != 0) return invokeDefault(*inner, kind, a);
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
    EXPECT_EQ(errors[0].description, u"Sub or Function not defined: 'Changer'");
    EXPECT_EQ(errors[0].line, 0); // no statement of the script was running
}

TEST_F(HostFixture, RunPassesArgumentsAndReturnsTheValue) {
    ASSERT_TRUE(
        host.addCode(u"Function Greet(who, times) : Greet = String(times, \"!\") & who : End Function\n"
                     u"Sub Touch(v) : v = 2 : speak \"touched\" : End Sub"));
    auto greeting = host.run(u"greet", {Variant("Ann"), 2});
    ASSERT_TRUE(greeting.has_value());
    EXPECT_EQ(greeting->toString(), u"!!Ann");
    std::vector<Variant> args{1};
    auto touched = host.run(u"Touch", args);
    ASSERT_TRUE(touched.has_value());
    EXPECT_TRUE(touched->isEmpty()); // a Sub has no value
    EXPECT_EQ(args[0].toLong(), 1);  // arguments go by value
    EXPECT_FALSE(host.run(u"Greet", {Variant("Ann")}));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, 450);
    EXPECT_EQ(errors[0].description, u"Wrong number of arguments or invalid property assignment: 'Greet'");
}

TEST_F(HostFixture, OptionalEntryPointsAreCheckedWithoutAnError) {
    ASSERT_TRUE(host.addCode(u"Dim draw2\nSub Main : End Sub\nFunction capture(text) : End Function\n"
                             u"Class Changer : Sub Inside : End Sub : End Class"));
    EXPECT_TRUE(host.hasProcedure(u"MAIN"));
    EXPECT_TRUE(host.hasProcedure(u"Capture"));
    EXPECT_FALSE(host.hasProcedure(u"Changer")); // a class, not a procedure
    EXPECT_FALSE(host.hasProcedure(u"draw2"));   // a variable
    EXPECT_FALSE(host.hasProcedure(u"Inside"));  // a method of a class
    const auto list = host.procedures();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name, u"Main");
    EXPECT_FALSE(list[0].isFunction);
    EXPECT_EQ(list[1].name, u"capture");
    EXPECT_TRUE(list[1].isFunction);
    EXPECT_EQ(list[1].parameterCount, 1);
    EXPECT_TRUE(errors.empty());
    host.reset();
    EXPECT_FALSE(host.hasProcedure(u"Main"));
    EXPECT_TRUE(host.procedures().empty());
}

// What reports to the host say: VBScript's text with the name the error is about, and where it happened.
TEST_F(HostFixture, ErrorReportsNameTheCulpritWhileErrDescriptionStaysPlain) {
    struct Case {
        const char16_t* code;
        int32_t number;
        const char16_t* description;
        int line;
    };
    const Case cases[] = {
        {u"Option Explicit\nDim x\nx = y", 500, u"Variable is undefined: 'y'", 3},
        {u"NoSuchSub", 13, u"Type mismatch: 'NoSuchSub'", 1},
        {u"x = 1\nCall NoSuchSub(x)", 13, u"Type mismatch: 'NoSuchSub'", 2},
        {u"qz.NoSuchMethod 1", 438, u"Object doesn't support this property or method: 'qz.NoSuchMethod'", 1},
        {u"Set t = qz\nx = t.Missing.Deeper", 438,
         u"Object doesn't support this property or method: 't.Missing'", 2},
        {u"n = 1\nn.Length", 424, u"Object required: 'n'", 2},
        {u"Set o = New Widget", 506, u"Class not defined: 'Widget'", 1},
        {u"Sub S(a) : End Sub\nS 1, 2", 450, u"Wrong number of arguments or invalid property assignment: 'S'",
         2},
        {u"x = Left(\"abc\")", 450, u"Wrong number of arguments or invalid property assignment: 'Left'", 1},
        {u"x = Mid(\"abc\", 0)", 5, u"Invalid procedure call or argument: 'Mid'", 1},
        {u"x = CLng(\"many\")", 13, u"Type mismatch: 'CLng'", 1},
        {u"Const c = 1\nc = 2", 501, u"Illegal assignment: 'c'", 2},
        {u"Dim a(2)\ni = 3\na(i) = 0", 9, u"Subscript out of range: 'i'", 3},
        {u"Dim a(2)\nx = a(1, 2)", 9, u"Subscript out of range", 2},
        {u"Dim a(2)\nx = a(2 + 2)", 9, u"Subscript out of range: '[number: 4]'", 2},
        // A host's own text and a script's Err.Raise are shown as they are.
        {u"\n fail", 5, u"the device is missing", 2},
        {u"Err.Raise 13", 13, u"Type mismatch", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(toUtf8(c.code));
        errors.clear();
        host.reset();
        host.addObject(u"qz", window, true);
        EXPECT_FALSE(host.addCode(c.code));
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].number, c.number);
        EXPECT_EQ(toUtf8(errors[0].description), toUtf8(c.description));
        EXPECT_EQ(errors[0].line, c.line);
    }
    ASSERT_TRUE(host.addCode(u"On Error Resume Next\nqz.NoSuchMethod\nd = Err.Description"));
    EXPECT_EQ(eval(u"d").toString(), u"Object doesn't support this property or method");
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

// An object whose member 0 is an ordinary member and which has no default member.
class NoDefault : public HostObject {
public:
    int findMember(std::u16string_view name) override { return namesEqual(name, u"First") ? 0 : kNoMember; }
    Variant invoke(int id, InvokeKind, const CallArgs&) override {
        if (id != 0) throw ScriptError(438);
        return Variant(u"first");
    }
};

TEST(HostObjectTest, TheDefaultMemberIsDeclaredNotMemberZero) {
    ScriptHost host;
    std::vector<ScriptErrorInfo> errors;
    host.setErrorHandler([&](const ScriptErrorInfo& e) { errors.push_back(e); });
    host.addObject(u"obj", std::make_shared<NoDefault>(), false);
    EXPECT_EQ(host.eval(u"obj.First")->toString(), u"first");
    EXPECT_FALSE(host.eval(u"obj(1)"));
    EXPECT_FALSE(host.eval(u"obj & \"\""));
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].number, 438);
    EXPECT_EQ(errors[1].number, 438);
}

TEST(VariantTest, TextGoesInAsTextAndComesOutAsAmpersandMakesIt) {
    EXPECT_EQ(Variant("text").type(), VarType::String); // not the Boolean a pointer would become
    EXPECT_EQ(Variant("caf\xc3\xa9").string(), u"caf\u00e9");
    EXPECT_EQ(Variant(std::string_view("view")).string(), u"view");
    EXPECT_EQ(Variant(std::u16string_view(u"wide")).string(), u"wide");
    EXPECT_EQ(toText(Variant::null()), u"");
    EXPECT_EQ(toText(Variant()), u"");
    EXPECT_EQ(toText(Variant(true)), u"True");
    EXPECT_EQ(toText(Variant(2.5)), u"2.5");
    EXPECT_EQ(toText(Variant::fromDate(2.5)), u"1/1/1900 12:00:00 PM");
    auto control = std::make_shared<FakeControl>();
    control->text = u"typed";
    EXPECT_EQ(toText(Variant(std::shared_ptr<HostObject>(control))), u"typed"); // its default member
    auto window = std::make_shared<FakeWindow>();
    EXPECT_THROW(toText(Variant(std::shared_ptr<HostObject>(window))), ScriptError); // needs an index
    EXPECT_THROW(toText(Variant::fromVector({Variant(1)})), ScriptError);
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
