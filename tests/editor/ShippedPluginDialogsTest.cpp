// Every plugin that comes with the program lays out a dialog a user can read, for a new command and for
// changing a stored one: fields inside the dialog, none over another, and every caption whole.

#include "tests/editor/EditorFixture.h"

#include <QFile>
#include <QFontMetrics>
#include <QLabel>

#include <gtest/gtest.h>

namespace qz::test {
namespace {

struct Shipped {
    const char* plugin;
    const char* record; // a stored command of it, for Changer
};

const Shipped kShipped[] = {
    {"dictation", "take a note|plugin|dictation|stop dictation|Done."},
    {"keys", "close it|plugin|keys|%{F4}"},
    {"readselection", "read this|plugin|readselection|Nothing is selected."},
    {"repeat", "again|repeat|repeat|Nothing yet"},
    {"runprogram", "open notes|plugin|runprogram|/home/me/notes.txt|open"},
    {"say", "hello there|plugin|say|Hello"},
    {"time", "what time is it|plugin|time|It is|24"},
};

// The controls the user sees, with their names for messages.
std::vector<std::pair<QString, DialogControl*>> shown(Form2& d) {
    std::vector<std::pair<QString, DialogControl*>> list;
    for (const design::ControlDesign* a : design::kControlArrays)
        for (int i = 0; i <= d.upperBound(*a); ++i)
            if (DialogControl* c = d.element(*a, i); c && c->Visible())
                list.push_back({QStringLiteral("%1(%2)").arg(designText(a->name)).arg(i), c});
    list.push_back({"addtobrain", d.confirmButton()});
    return list;
}

void expectReadable(Form2& d, const std::string& what) {
    const auto controls = shown(d);
    for (const auto& [name, c] : controls) {
        const auto p = c->place();
        EXPECT_TRUE(p.left >= 0 && p.top >= 0 && p.left + p.width <= d.clientWidthTwips() &&
                    p.top + p.height <= d.clientHeightTwips())
            << what << ": " << name.toStdString() << " reaches outside the dialog";
        if (auto* label = qobject_cast<QLabel*>(c->widget())) {
            EXPECT_FALSE(label->text().trimmed().isEmpty()) << what << ": " << name.toStdString();
            const QRect needed =
                QFontMetrics(label->font())
                    .boundingRect(QRect(0, 0, label->width(), 10000),
                                  Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, label->text());
            EXPECT_LE(needed.height(), label->height())
                << what << ": the caption of " << name.toStdString() << " is cut off";
        }
    }
    for (size_t i = 0; i < controls.size(); ++i)
        for (size_t j = i + 1; j < controls.size(); ++j) {
            const QRect a = controls[i].second->widget()->geometry();
            const QRect b = controls[j].second->widget()->geometry();
            EXPECT_FALSE(a.intersects(b)) << what << ": " << controls[i].first.toStdString() << " lies over "
                                          << controls[j].first.toStdString();
        }
}

TEST(ShippedPlugins, DrawAndChangerLayOutReadableFields) {
    for (const Shipped& s : kShipped) {
        EditorFixture f(QByteArray("Wake up|activate|At your service\r\nGo quiet|deactivate|Standing by\r\n"
                                   "Sleep now|sleep|Good night\r\n") +
                        s.record + "\r\n");
        f.shipPlugin(s.plugin);
        f.start();
        f.form->pluginmenu_Click(s.plugin);
        ASSERT_TRUE(f.editor.isOpen()) << s.plugin;
        EXPECT_TRUE(f.messages.texts.isEmpty()) << s.plugin << f.messages.texts.join("\n").toStdString();
        EXPECT_GT(shown(f.dialog()).size(), 3u) << s.plugin << " draws no field of its own";
        expectReadable(f.dialog(), std::string(s.plugin) + " draw");

        f.form->changer_Click(3);
        EXPECT_TRUE(f.messages.texts.isEmpty()) << s.plugin << f.messages.texts.join("\n").toStdString();
        EXPECT_EQ(f.field(design::kTextbox, 0)->text(), QString(s.record).section('|', 0, 0)) << s.plugin;
        expectReadable(f.dialog(), std::string(s.plugin) + " Changer");
        // Confirming the unchanged fields stores the same command again, at the end.
        f.confirm();
        EXPECT_TRUE(f.messages.texts.isEmpty()) << s.plugin << f.messages.texts.join("\n").toStdString();
        EXPECT_EQ(f.form->brainlist().record(3), s.record) << s.plugin;
    }
}

TEST(ShippedPlugins, RunprogramOffersBrowseForTheFile) {
    EditorFixture f;
    f.shipPlugin("runprogram");
    f.start();
    f.form->pluginmenu_Click("runprogram");
    ASSERT_EQ(f.upperBound(design::kBrowseButton), 1);
    f.files.answers = {QString("/home/me/report.pdf")};
    f.type(design::kTextbox, 0, "show the report");
    f.click(f.field(design::kBrowseButton, 1));
    f.confirm();
    EXPECT_EQ(f.form->brainlist().record(3), "show the report|plugin|runprogram|/home/me/report.pdf|open");
}

// The complete plugin of the README's plugin-author section, as a user would use it.
TEST(ReadmeExample, CreatesAndChangesItsCommand) {
    QFile readme(QZ_SOURCE_DIR "/README.md");
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(readme.readAll());
    const qsizetype from = text.indexOf("### A complete plugin");
    const qsizetype to = text.indexOf("### Trying a plugin", from);
    ASSERT_GT(from, 0);
    QByteArray plugin;
    for (const QString& line : text.mid(from, to - from).split('\n'))
        if (line.startsWith("    ") || (line.isEmpty() && !plugin.isEmpty()))
            plugin += line.mid(4).toUtf8() + "\r\n";
    ASSERT_TRUE(plugin.contains("Sub draw"));

    EditorFixture f;
    f.writeFile("data/greeting.qzp", plugin);
    f.start();
    f.form->pluginmenu_Click("greeting");
    ASSERT_TRUE(f.editor.isOpen());
    expectReadable(f.dialog(), "greeting draw");
    f.type(design::kTextbox, 0, "good afternoon");
    f.type(design::kTextbox, 1, "Good afternoon to you");
    static_cast<QAbstractButton*>(f.field(design::kCheckbox, 1)->widget())->click();
    f.confirm(); // no picture chosen yet
    ASSERT_EQ(f.messages.texts.size(), 1);
    EXPECT_TRUE(f.messages.texts[0].contains("Choose the picture with Browse."))
        << f.messages.texts[0].toStdString();
    f.files.answers = {QString("/home/me/sun.png")};
    f.click(f.field(design::kBrowseButton, 1));
    f.confirm();
    EXPECT_EQ(f.form->brainlist().record(3),
              "good afternoon|plugin|greeting|Good afternoon to you|/home/me/sun.png");

    f.form->changer_Click(3);
    EXPECT_EQ(f.field(design::kTextbox, 0)->text(), "good afternoon");
    EXPECT_EQ(static_cast<CheckBoxControl*>(f.field(design::kCheckbox, 1))->Value(), 1);
    EXPECT_EQ(f.field(design::kPathBox, 1)->text(), "/home/me/sun.png");
    expectReadable(f.dialog(), "greeting Changer");
    f.form->state().activate();
    f.confirm();
    f.recognizer.say("good afternoon");
    EXPECT_TRUE(f.synthesizer.log().contains("[speak flags=1] Good afternoon to you"));
    EXPECT_EQ(f.opener.opened, QStringList{"/home/me/sun.png"});
}

} // namespace
} // namespace qz::test
