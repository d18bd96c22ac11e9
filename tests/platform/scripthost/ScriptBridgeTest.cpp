// Real scripts run by the interpreter against real QObjects through the bridge.

#include "tests/platform/scripthost/TestObjects.h"

#include "platform/fake/FakeClipboard.h"
#include "platform/scripthost/ScriptClipboard.h"
#include "platform/scripthost/ScriptErrorText.h"
#include "platform/scripthost/ScriptObjectArray.h"
#include "platform/scripthost/ScriptQObject.h"

#include "vbscript/ScriptHost.h"

#include <gtest/gtest.h>

using namespace qz;

namespace {

class ScriptBridge : public testing::Test {
protected:
    ScriptBridge() {
        host.setErrorHandler([this](const vbscript::ScriptErrorInfo& e) { errors.push_back(e); });
        host.addObject(u"QZ", ScriptQObject::wrap(&controller), true);
    }

    bool addCode(const char* code) { return host.addCode(vbscript::fromUtf8(code)); }
    std::string firstError() const {
        return errors.empty()
                   ? std::string()
                   : vbscript::toUtf8(errors[0].description) + " at line " + std::to_string(errors[0].line);
    }

    Controller controller;
    vbscript::ScriptHost host;
    std::vector<vbscript::ScriptErrorInfo> errors;
};

TEST_F(ScriptBridge, ScriptsSetPropertiesAndCallMethodsWithOrWithoutTheObjectName) {
    ASSERT_TRUE(addCode("QZ.Caption = \"Mail\"\n"
                        "caption = CAPTION & \" ready\"\n"
                        "Sub Main\n"
                        "  speak \"count \" & Count\n"
                        "  QZ.Speak Caption\n"
                        "End Sub\n"));
    ASSERT_TRUE(host.run(u"Main"));
    EXPECT_EQ(controller.caption(), "Mail ready");
    EXPECT_EQ(controller.log, QStringList({"speak:count 7", "speak:Mail ready"}));
    EXPECT_TRUE(errors.empty());
}

TEST_F(ScriptBridge, AByRefArgumentIsWrittenBackToTheCallersVariable) {
    ASSERT_TRUE(addCode("Sub Main\n"
                        "  n = 5 : setvoice n : speak \"n=\" & n\n"
                        "  m = 2 : setvoice m : speak \"m=\" & m\n"
                        // Parentheses make an expression: passed by value, the variable stays.
                        "  k = 7 : setvoice (k) : speak \"k=\" & k\n"
                        "End Sub\n"));
    ASSERT_TRUE(host.run(u"Main"));
    EXPECT_EQ(controller.log,
              QStringList({"voice:1", "speak:n=1", "voice:2", "speak:m=2", "voice:1", "speak:k=7"}));
}

TEST_F(ScriptBridge, ArraysOfControlsAreIndexedThroughTheDefaultMember) {
    TextControl template0, name, path;
    name.text = "mail";
    ScriptObjectArray textinput;
    textinput.setElement(0, &template0);
    textinput.setElement(1, &name);
    textinput.setElement(2, &path);
    host.addObject(u"textinput", ScriptQObject::wrap(&textinput), true);

    ASSERT_TRUE(addCode("Sub create\n"
                        "  textinput(2).Text = \"/usr/bin/\" & textinput(1).Text\n"
                        "  speak textinput(2)\n"
                        "  speak textinput.UBound & \" \" & UBound\n"
                        "  Set inputs = textinput : inputs(0) = \"template\"\n"
                        "  For Each control In textinput\n"
                        "    speak control.Text\n"
                        "  Next\n"
                        "End Sub\n"));
    ASSERT_TRUE(host.run(u"create")) << firstError();
    EXPECT_EQ(path.text, "/usr/bin/mail");
    EXPECT_EQ(controller.log, QStringList({"speak:/usr/bin/mail", "speak:2 2", "speak:template", "speak:mail",
                                           "speak:/usr/bin/mail"}));

    ASSERT_TRUE(addCode("Sub missing\n  x = textinput(5).Text\nEnd Sub\n"));
    EXPECT_FALSE(host.run(u"missing"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, 340);
}

TEST_F(ScriptBridge, AnErrorInsideAHostCallIsARuntimeErrorTheScriptCanCatch) {
    ASSERT_TRUE(addCode("Sub Main\n"
                        "  On Error Resume Next\n"
                        "  fail 2\n"
                        "  speak Err.Number & \": \" & Err.Description\n"
                        "  Err.Clear\n"
                        "  QZ.fail 1\n"
                        "  speak Err.Number & \": \" & Err.Description\n"
                        "End Sub\n"
                        "Sub Unguarded\n"
                        "  speak \"before\"\n"
                        "  fail 3\n"
                        "  speak \"after\"\n"
                        "End Sub\n"));
    ASSERT_TRUE(host.run(u"Main"));
    EXPECT_EQ(controller.log, QStringList({"speak:5: Bad key sequence", "speak:70: No access to the thing"}));
    EXPECT_TRUE(errors.empty());

    EXPECT_FALSE(host.run(u"Unguarded"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, 9);
    EXPECT_EQ(errors[0].line, 11);
    EXPECT_EQ(controller.log.last(), "speak:before") << "the procedure stops at the error";
    const QString text = scriptErrorText(errors[0], "runprogram");
    EXPECT_TRUE(text.startsWith("There is no setting 9\n\nLine 11")) << text.toStdString();
    EXPECT_TRUE(text.contains("of runprogram")) << text.toStdString();
}

TEST_F(ScriptBridge, TheClipboardObjectOffersItsMembersGlobally) {
    FakeClipboard clipboard;
    clipboard.setText("before");
    ScriptClipboard object(clipboard);
    host.addObject(u"clipboard", ScriptQObject::wrap(&object), true);
    ASSERT_TRUE(addCode("speak GetText()\n"
                        "clipboard.SetText \"after\"\n"
                        "speak clipboard.GetText(1)\n"
                        "Clear\n"));
    EXPECT_EQ(controller.log, QStringList({"speak:before", "speak:after"}));
    EXPECT_EQ(clipboard.text(), "");
}

} // namespace
