#include "tests/platform/scripthost/TestObjects.h"

#include "platform/scripthost/ScriptObjectArray.h"
#include "platform/scripthost/ScriptQObject.h"

#include <QDateTime>

#include <gtest/gtest.h>

using namespace qz;
using vbscript::InvokeKind;
using vbscript::ScriptError;
using vbscript::Variant;

namespace {

std::string str(const Variant& v) {
    return vbscript::toUtf8(v.toString());
}

// Calls member `name` with the given variables; `byRef` marks which of them the script passed by reference.
Variant call(vbscript::HostObject& object, std::u16string_view name, InvokeKind kind,
             std::vector<Variant*> args = {}, uint64_t byRef = ~0ull) {
    const int id = name.empty() ? object.defaultMember() : object.findMember(name);
    if (id == vbscript::HostObject::kNoMember) throw ScriptError(438);
    return object.invoke(id, kind, vbscript::CallArgs{args, byRef});
}

int errorOf(const std::function<void()>& f, std::string* description = nullptr) {
    try {
        f();
    } catch (const ScriptError& e) {
        if (description) *description = vbscript::toUtf8(e.description);
        return e.number;
    }
    return 0;
}

TEST(ScriptQObject, FindsTheClassOwnMembersWithoutRegardToCase) {
    Controller c;
    ScriptQObject o(&c);
    for (auto name : {u"caption", u"CAPTION", u"Speak", u"SETVOICE", u"reset", u"count"})
        EXPECT_NE(o.findMember(name), vbscript::HostObject::kNoMember) << vbscript::toUtf8(name);
    // QObject's own members and signals are not for scripts.
    for (auto name : {u"objectName", u"deleteLater", u"changed", u"destroyed", u"nosuch"})
        EXPECT_EQ(o.findMember(name), vbscript::HostObject::kNoMember) << vbscript::toUtf8(name);
    EXPECT_EQ(o.typeName(), u"Controller");
}

TEST(ScriptQObject, ReadsAndWritesProperties) {
    Controller c;
    ScriptQObject o(&c);
    Variant hello(u"hello");
    call(o, u"caption", InvokeKind::Let, {&hello});
    EXPECT_EQ(c.caption(), "hello");
    EXPECT_EQ(str(call(o, u"Caption", InvokeKind::Get)), "hello");

    Variant ratio(u"2.25"); // converted as VBScript converts a string to a number
    call(o, u"ratio", InvokeKind::Let, {&ratio});
    EXPECT_EQ(c.ratio, 2.25);
    EXPECT_EQ(call(o, u"count", InvokeKind::Get).longValue(), 7);

    Variant word(u"many");
    Variant five(5);
    EXPECT_EQ(errorOf([&] { call(o, u"ratio", InvokeKind::Let, {&word}); }), 13);
    EXPECT_EQ(errorOf([&] { call(o, u"count", InvokeKind::Let, {&five}); }), 450) << "read-only property";
    EXPECT_EQ(errorOf([&] { call(o, u"speak", InvokeKind::Let, {&five}); }), 450) << "assignment to a method";
}

TEST(ScriptQObject, CallsMethodsWithConvertedArguments) {
    Controller c;
    ScriptQObject o(&c);
    Variant n(u"3"), d(2.5), b(true), f = Variant::fromSingle(1.5f);
    EXPECT_EQ(str(call(o, u"describe", InvokeKind::Get, {&n, &d, &b, &f})), "3|2.5|1|1.5");

    // Rounded as VBScript rounds to a Long: halves to even.
    Variant half(2.5), one(1);
    EXPECT_EQ(call(o, u"add", InvokeKind::Get, {&half, &one}).longValue(), 3);
    EXPECT_EQ(call(o, u"add", InvokeKind::Get, {&one}).longValue(), 11) << "default argument";
    EXPECT_EQ(errorOf([&] { call(o, u"add", InvokeKind::Get, {}); }), 450);
    EXPECT_EQ(errorOf([&] { call(o, u"add", InvokeKind::Get, {&one, &one, &one}); }), 450);

    Variant text(u"hi");
    call(o, u"speak", InvokeKind::Call, {&text});
    call(o, u"RESET", InvokeKind::Call);
    EXPECT_EQ(c.log, QStringList({"speak:hi", "reset"}));

    Variant sentence(u"a b c");
    const Variant words = call(o, u"words", InvokeKind::Get, {&sentence});
    ASSERT_TRUE(words.isArray());
    ASSERT_EQ(words.array().items.size(), 3u);
    EXPECT_EQ(str(words.array().items[2]), "c");

    // QVariant parameters and results keep the script's subtype.
    Variant cases[] = {Variant(u"x"), Variant(true), Variant(42), Variant(1.25), Variant(), Variant::null()};
    for (Variant& v : cases)
        EXPECT_EQ(call(o, u"echo", InvokeKind::Get, {&v}).type(), v.type());
}

TEST(ScriptQObject, WritesOutParametersBackToTheCallersVariable) {
    Controller c;
    ScriptQObject o(&c);
    Variant five = Variant::fromSingle(5), two(2);
    call(o, u"setvoice", InvokeKind::Call, {&five});
    call(o, u"setvoice", InvokeKind::Call, {&two});
    EXPECT_EQ(five.toDouble(), 1) << "setvoice(5) must set the caller's variable to 1";
    EXPECT_EQ(two.toDouble(), 2);
    EXPECT_EQ(c.log, QStringList({"voice:1", "voice:2"}));

    Variant value(1.5), name(u"x");
    call(o, u"twice", InvokeKind::Call, {&value});
    call(o, u"rename", InvokeKind::Call, {&name});
    EXPECT_EQ(value.toDouble(), 3);
    EXPECT_EQ(str(name), "x!");

    // An expression passed (not a variable) is not written.
    Variant seven(7);
    call(o, u"setvoice", InvokeKind::Call, {&seven}, 0);
    EXPECT_EQ(seven.longValue(), 7);
}

TEST(ScriptQObject, ExceptionsBecomeScriptErrors) {
    Controller c;
    ScriptQObject o(&c);
    const struct {
        int how;
        int number;
        std::string description;
    } cases[] = {
        {1, 70, "No access to the thing"},
        {2, 5, "Bad key sequence"},
        {3, 9, "There is no setting 9"},
        {4, 5, "The program \"nothere\" was not found"},
    };
    for (const auto& k : cases) {
        Variant how(k.how);
        std::string description;
        EXPECT_EQ(errorOf([&] { call(o, u"fail", InvokeKind::Call, {&how}); }, &description), k.number);
        EXPECT_EQ(description, k.description);
    }
}

TEST(ScriptQObject, ArrayOfControlsThroughTheDefaultMember) {
    TextControl template0, first, third;
    first.text = "one";
    third.text = "three";
    ScriptObjectArray controls;
    controls.setElement(0, &template0);
    controls.setElement(1, &first);
    controls.setElement(3, &third);
    ScriptQObject o(&controls);

    // textinput(1).Text
    Variant one(1);
    const Variant element = call(o, u"", InvokeKind::Get, {&one});
    ASSERT_TRUE(element.isObject());
    EXPECT_EQ(ScriptQObject::unwrap(element), &first);
    EXPECT_EQ(str(call(*element.object(), u"text", InvokeKind::Get)), "one");
    // An element used as a value is its default member.
    EXPECT_EQ(element.toString(), u"one");

    Variant value(u"changed");
    call(*element.object(), u"Text", InvokeKind::Let, {&value});
    EXPECT_EQ(first.text, "changed");

    EXPECT_EQ(call(o, u"UBound", InvokeKind::Get).longValue(), 3);
    EXPECT_EQ(call(o, u"Count", InvokeKind::Get).longValue(), 3);
    Variant two(2);
    std::string description;
    EXPECT_EQ(errorOf([&] { call(o, u"", InvokeKind::Get, {&two}); }, &description), 340);
    EXPECT_EQ(description, "Control array element '2' doesn't exist");

    // No default member: using the object as a value is not supported.
    Controller c;
    ScriptQObject plain(&c);
    EXPECT_EQ(errorOf([&] { call(plain, u"", InvokeKind::Get); }), 438);
}

TEST(ScriptQObject, ObjectsComeBackWrappedAndNullIsNothing) {
    Controller c;
    TextControl child;
    ScriptQObject o(&c);
    EXPECT_TRUE(call(o, u"child", InvokeKind::Get).isObject());
    EXPECT_EQ(call(o, u"child", InvokeKind::Get).object(), nullptr) << "a null QObject is Nothing";
    c.childObject = &child;
    EXPECT_EQ(ScriptQObject::unwrap(call(o, u"child", InvokeKind::Get)), &child);
}

TEST(ScriptQObject, ADestroyedObjectFailsWithObjectRequired) {
    auto* c = new Controller;
    ScriptQObject o(c);
    const int speak = o.findMember(u"speak");
    delete c;
    Variant text(u"x");
    Variant* args[] = {&text};
    EXPECT_EQ(errorOf([&] { o.invoke(speak, InvokeKind::Call, vbscript::CallArgs{args, 1}); }), 424);
}

TEST(ScriptValues, ConvertBetweenQtAndScript) {
    const QDateTime when(QDate(2024, 2, 29), QTime(18, 0));
    const Variant date = toScriptValue(when);
    EXPECT_EQ(date.type(), vbscript::VarType::Date);
    EXPECT_DOUBLE_EQ(date.date(), 45351.75);
    EXPECT_EQ(toQVariant(date).toDateTime(), when);
    EXPECT_DOUBLE_EQ(toScriptValue(QDateTime(QDate(1899, 12, 29), QTime(6, 0))).date(), -1.25);

    EXPECT_EQ(toScriptValue(QVariant(qint64(1) << 40)).type(), vbscript::VarType::Double);
    EXPECT_EQ(toScriptValue(QVariant(uint(5))).type(), vbscript::VarType::Long);
    EXPECT_TRUE(toScriptValue(QVariant()).isEmpty());

    const Variant list = toScriptValue(QVariantList{1, "two", QVariantList{3}});
    ASSERT_TRUE(list.isArray());
    EXPECT_TRUE(list.array().items[2].isArray());
    EXPECT_EQ(toQVariant(list).toList().size(), 3);

    EXPECT_EQ(toQVariant(Variant(u"40000"), QMetaType::fromType<int>()).toInt(), 40000);
    EXPECT_EQ(errorOf([] { toQVariant(Variant(1e10), QMetaType::fromType<int>()); }), 6);
    EXPECT_EQ(errorOf([] { toQVariant(Variant(u"x"), QMetaType::fromType<QObject*>()); }), 424);
}

} // namespace

#include "platform/scripthost/ScriptErrorText.h"

namespace {

TEST(ScriptErrorText, GivesTheDescriptionAndWhereItHappened) {
    const struct {
        vbscript::ScriptErrorInfo error;
        QString script;
        QString expected;
    } cases[] = {
        {{13, u"Type mismatch: 'x'", u"", 12, 5, false},
         "say",
         "Type mismatch: 'x'\n\nLine 12, column 5 of say (runtime error 13)"},
        {{1024, u"Expected statement", u"", 3, 0, true},
         "",
         "Expected statement\n\nLine 3 (compilation error 1024)"},
        {{11, u"", u"", 0, 0, false}, "", "Division by zero (runtime error 11)"},
        {{9990, u"The script ran too long", u"", 0, 0, false},
         "time",
         "The script ran too long\n\nIn time (runtime error 9990)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scriptErrorText(c.error, c.script), c.expected);
}

} // namespace
