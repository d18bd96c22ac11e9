// Plugin files as the script host gets them: line ends, encodings and plugin names.
#include <gtest/gtest.h>

#include "vbscript/Variant.h"
#include "vbscript/plugin/PluginText.h"

using vbscript::plugin::pluginName;
using vbscript::plugin::scriptText;

namespace {

TEST(PluginTextTest, EveryLineEndsInCrLfWhateverEndedItInTheFile) {
    struct Case {
        const char* name;
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"CR LF", "a\r\nb\r\n", u"a\r\nb\r\n"},
        {"CR alone", "a\rb\r", u"a\r\nb\r\n"},
        {"LF alone", "a\nb\n", u"a\r\nb\r\n"},
        {"mixed, last line unended", "a\rb\nc\r\nd", u"a\r\nb\r\nc\r\nd\r\n"},
        {"LF then CR are two line ends", "a\n\rb", u"a\r\n\r\nb\r\n"},
        {"blank lines stay", "\r\n\r\nx", u"\r\n\r\nx\r\n"},
        {"empty file", "", u""},
        {"UTF-8", "caf\xc3\xa9", u"caf\u00e9\r\n"},
        {"Windows-1252", "caf\xe9 \x80", u"caf\u00e9 \u20ac\r\n"},
        {"byte-order mark left out", "\xef\xbb\xbfOption Explicit", u"Option Explicit\r\n"},
        {"overlong UTF-8 is not UTF-8", "\xc0\xaf", u"\u00c0\u00af\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(vbscript::toUtf8(scriptText(c.bytes)), vbscript::toUtf8(c.text));
    }
}

TEST(PluginTextTest, ThePluginNameEndsBeforeTheFirstQzp) {
    EXPECT_EQ(pluginName(u"/opt/Quorzel/data/runprogram.qzp"), u"runprogram");
    EXPECT_EQ(pluginName(u"a.qzp.qzp"), u"a");
    EXPECT_EQ(pluginName(u"data\\Alarm.qzp"), u"Alarm");
    EXPECT_EQ(pluginName(u"notes"), u"notes");
}

} // namespace
