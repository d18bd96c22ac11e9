// The command editor's two waits:
// 1. choosing a plugin in "Add command" until its dialog is drawn on the screen, for a plugin of 20 fields
//    (goal: under 50 ms), and for the shipped plugins;
// 2. pressing "Create" until the new phrase is in the recogniser's grammar, with 10,000 commands (goal:
//    under 100 ms): with the fake recogniser (the program's own part) and with PocketSphinx.

#include "editor/Form2.h"
#include "editor/SettingsEditor.h"
#include "engine/Form1.h"
#include "platform/audio/BufferAudioInput.h"
#include "platform/fake/FakeFileChooser.h"
#include "platform/fake/FakeRecognizer.h"
#include "platform/fake/FakeSynthesizer.h"
#include "platform/speech/PocketSphinxRecognizer.h"
#include "plugins/ScriptRunner.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace qz {
namespace {

namespace design = vbscript::plugin;

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(p * double(values.size() - 1) + 0.5))];
}

class PrintedMessages : public UserMessages {
public:
    void warning(const QString& title, const QString& text) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    }
};

// 20 fields: eight captions with their boxes, two check boxes and two path boxes with Browse.
QByteArray twentyFields() {
    QByteArray s = "Sub draw\r\n  dialog.Height = 7800\r\n";
    for (int i = 1; i <= 8; ++i) {
        const int top = 780 + (i - 1) * 600;
        s += "  qz.create \"textoutput\"\r\n  qz.create \"textinput\"\r\n";
        s +=
            QStringLiteral("  textoutput(%1).Top = %2: textoutput(%1).Width = 4575: textoutput(%1).Caption = "
                           "\"Value number %1:\"\r\n")
                .arg(i)
                .arg(top)
                .toUtf8();
        s += QStringLiteral("  textinput(%1).Top = %2: textinput(%1).Text = \"value %1\"\r\n")
                 .arg(i)
                 .arg(top + 225)
                 .toUtf8();
    }
    for (int i = 1; i <= 2; ++i) {
        s += QStringLiteral(
                 "  qz.create \"checkbox\": Checkbox(%1).Top = %2: Checkbox(%1).Caption = \"Option %1\"\r\n")
                 .arg(i)
                 .arg(5700 + (i - 1) * 300)
                 .toUtf8();
        s += QStringLiteral("  qz.create \"browsedialog\": browsedialog(%1).Top = %2\r\n")
                 .arg(i)
                 .arg(6400 + (i - 1) * 420)
                 .toUtf8();
    }
    s += "End Sub\r\nSub create\r\n  qz.addtobrain textinput(1).Text, \"\"\r\nEnd Sub\r\n";
    return s;
}

struct Program {
    Program(Recognizer& recognizer, const QString& folder) : scripts(messages), editor(files, folder) {
        Form1Services services;
        services.messages = &messages;
        services.programFolder = ProgramFolder(folder);
        services.recognizer = &recognizer;
        services.synthesizer = &synthesizer;
        services.scripts = &scripts;
        services.editor = &editor;
        services.endProgram = [] {};
        form = std::make_unique<Form1>(services);
        QObject::connect(&editor, &SettingsEditor::confirmed, form.get(), &Form1::addtobrain_Click);
        form->Form_Load();
    }
    PrintedMessages messages;
    FakeSynthesizer synthesizer;
    ScriptRunner scripts;
    FakeFileChooser files;
    SettingsEditor editor;
    std::unique_ptr<Form1> form;
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

QString makeFolder(const QTemporaryDir& dir, int commands) {
    QDir(dir.path()).mkpath("data");
    QByteArray brain = "computer are you there|activate|Ready\r\nthank you computer|deactivate|Bye\r\n"
                       "computer go to sleep|sleep|Night\r\n";
    for (int i = 3; i < commands; ++i)
        brain += QStringLiteral("say number %1|plugin|say|number %1\r\n").arg(i).toUtf8();
    writeFile(dir.filePath("data/brain.qzb"), brain);
    writeFile(dir.filePath("data/twenty.qzp"), twentyFields());
    for (const char* name : {"dictation", "keys", "readselection", "repeat", "runprogram", "say", "time"})
        QFile::copy(QStringLiteral(QZ_CONTENT_DIR "/data/%1.qzp").arg(name),
                    dir.filePath(QStringLiteral("data/%1.qzp").arg(name)));
    return dir.path();
}

// Menu choice to the dialog painted: the opening, its yields and draw, and one paint of the whole window.
void benchOpening(const char* plugin, int runs) {
    QTemporaryDir dir;
    FakeRecognizer recognizer;
    Program p(recognizer, makeFolder(dir, 3));
    std::vector<double> times;
    double first = 0;
    for (int run = 0; run < runs; ++run) {
        if (run % 5 == 0) p.editor.unload(); // one in five openings loads the dialog afresh
        QCoreApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        p.form->pluginmenu_Click(plugin);
        p.editor.form()->repaint();
        const double ms = timer.nsecsElapsed() / 1e6;
        if (run == 0)
            first = ms;
        else
            times.push_back(ms);
    }
    std::printf(
        "Add command \"%s\" to dialog drawn: first %.1f ms, then median %.2f ms, max %.2f ms (goal: under "
        "50 ms)\n",
        plugin, first, percentile(times, 0.5), percentile(times, 1.0));
}

// "Create" pressed to the phrase in the grammar, with `commands` commands.
void benchConfirm(const char* label, Recognizer& recognizer, int commands, int runs) {
    QTemporaryDir dir;
    Program p(recognizer, makeFolder(dir, commands));
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        p.form->pluginmenu_Click("say");
        Form2& d = *p.editor.form();
        const QString phrase = QStringLiteral("new command %1").arg(run);
        qobject_cast<QLineEdit*>(d.element(design::kTextbox, 0)->widget())->setText(phrase);
        qobject_cast<QLineEdit*>(d.element(design::kTextbox, 1)->widget())->setText("done");
        QElapsedTimer timer;
        timer.start();
        d.confirmButton()->button()->click();
        while (p.editor.isOpen() && timer.elapsed() < 10000)
            QCoreApplication::processEvents();
        const double ms = timer.nsecsElapsed() / 1e6;
        if (p.form->brainlist().record(p.form->brainlist().count() - 1).startsWith(phrase))
            times.push_back(ms);
        else
            std::fprintf(stderr, "the command was not stored\n");
    }
    auto* fake = dynamic_cast<FakeRecognizer*>(&recognizer);
    if (fake && !fake->activePhrases().contains(QStringLiteral("new command %1").arg(runs - 1)))
        std::fprintf(stderr, "the new phrase is not in the grammar\n");
    std::printf(
        "Create to phrase recognisable, %5d commands, %-14s median %7.1f ms, max %7.1f ms (goal: under "
        "100 ms)\n",
        commands, label, percentile(times, 0.5), percentile(times, 1.0));
}

} // namespace
} // namespace qz

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform says at every opening that it cannot raise a window or pass on size hints.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtDebugMsg && !text.contains(QLatin1String("does not support")))
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    QApplication app(argc, argv);
    qz::benchOpening("twenty", 40);
    for (const char* plugin : {"runprogram", "dictation", "say"})
        qz::benchOpening(plugin, 20);
    for (int commands : {1000, 10000}) {
        qz::FakeRecognizer fake;
        qz::benchConfirm("(fake)", fake, commands, 7);
        qz::PocketSphinxRecognizer sphinx(std::make_unique<qz::BufferAudioInput>());
        qz::benchConfirm("(PocketSphinx)", sphinx, commands, 5);
    }
    return 0;
}
