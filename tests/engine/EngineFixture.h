#pragma once

// A controller wired to fakes that write what they are asked into one shared log, so tests can check the
// order of steps across services.

#include "engine/Form1.h"
#include "platform/fake/FakeClipboard.h"
#include "platform/fake/FakeDocumentOpener.h"
#include "platform/fake/FakeKeySender.h"
#include "platform/fake/FakeLauncher.h"
#include "platform/fake/FakeRecognizer.h"
#include "platform/fake/FakeSynthesizer.h"
#include "platform/speech/RecoContext.h"
#include "platform/speech/RecoResult.h"
#include "plugins/ScriptRunner.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <ostream>

// Readable test failures for Qt strings.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace qz::test {

struct Log {
    QStringList lines;
    // A step repeated at once counts as one: a voice asks for its list more than once, and the recogniser
    // hears of a new context, its committed rules and the active rule one after the other.
    void add(const QString& line) {
        if (lines.isEmpty() || lines.last() != line) lines << line;
    }
};

class LoggingHead : public HeadPort {
public:
    explicit LoggingHead(Log& log) : log(log) {}
    void changehead(const QString& name) override { log.add("changehead " + name); }
    void startIdle() override { log.add("animate on"); }
    void stopIdle() override { log.add("animate off"); }
    void startTalking() override { log.add("talktimer on"); }
    void stopTalking() override { log.add("talktimer off"); }
    void showRestFrame() override { log.add("rest frame"); }
    Log& log;
};

class LoggingView : public CommandView {
public:
    explicit LoggingView(Log& log) : log(log) {}
    void rebuild(const QStringList& records) override { log.add(QString("rows %1").arg(records.size())); }
    void subititle(const QString& text) override {
        subtitle = text;
        guessOver = false;
    }
    void endHypothesis() override { guessOver = true; }
    QWidget* widget() override { return nullptr; }
    Log& log;
    QString subtitle;
    bool guessOver = false; // row 0 shows its own second line again
};

class LoggingEditor : public CommandEditor {
public:
    explicit LoggingEditor(Log& log) : log(log) {}
    bool isOpen() const override { return open; }
    QString dialogplugin() const override { return open ? plugin : QString(); }
    void setDialogplugin(const QString& name) override { plugin = name; }
    QString phrase() const override { return open ? phraseText : QString(); }
    void unload() override {
        log.add("unload editor");
        open = false;
    }
    void clearFields() override {
        log.add("clear editor");
        open = true;
    }
    QString confirmCaption() const override { return open ? caption : QString(); }
    void setConfirmButton(const QString& text, const QString& value) override {
        caption = text;
        tag = value;
    }
    void setConfirmTag(const QString& value) override { tag = value; }
    void showModeless() override { log.add("show editor"); }
    void create(const QString& kind) override { log.add("create " + kind); }
    void attachBrowseButtons() override { log.add("attach Browse"); }
    QObject* scriptObject(const QString&) override { return nullptr; }
    Log& log;
    bool open = false;
    QString plugin;
    QString phraseText;
    QString caption;
    QString tag;
};

class LoggingMenus : public MenuFiller {
public:
    explicit LoggingMenus(Log& log) : log(log) {}
    void fillmenus() override { log.add("fillmenus"); }
    Log& log;
};

// The "Options" entries as the controller leaves them.
class RecordingOptions : public OptionsEntries {
public:
    void setBrainEnabled(bool enabled) override { brainEnabled = enabled; }
    void setSleepEnabled(bool enabled) override { sleepEnabled = enabled; }
    bool brainEnabled = true;
    bool sleepEnabled = false;
};

class LoggingMessages : public UserMessages {
public:
    explicit LoggingMessages(Log& log) : log(log) {}
    void warning(const QString& title, const QString& text) override {
        log.add("message " + title);
        texts << text;
    }
    Log& log;
    QStringList texts;
};

class LoggingTray : public Tray {
public:
    explicit LoggingTray(Log& log) : log(log) {}
    void AddTrayIcon(const QIcon&, const QString& tip) override { log.add("AddTrayIcon " + tip); }
    void RemoveTrayIcon() override { log.add("RemoveTrayIcon"); }
    Log& log;
};

class LoggingRecognizer : public FakeRecognizer {
public:
    explicit LoggingRecognizer(Log& log) : log(log) {}
    Log& log;

protected:
    void listen(const CompiledGrammar& grammar) override {
        FakeRecognizer::listen(grammar);
        log.add("recogniser listens");
    }
};

class LoggingSynthesizer : public FakeSynthesizer {
public:
    explicit LoggingSynthesizer(Log& log) : events(log) {}
    QList<VoiceToken> voices() const override {
        events.add("GetVoices");
        return FakeSynthesizer::voices();
    }
    void enqueue(const SpeechRequest& request) override {
        events.add(QString("speak flags=%1 \"%2\"").arg(request.flags).arg(request.text));
        FakeSynthesizer::enqueue(request);
    }
    Log& events;
};

// A program folder in a temporary directory, with the controller over it.
class EngineFixture {
public:
    explicit EngineFixture(const QByteArray& brain = "Wake up|activate|At your service\r\n"
                                                     "Go quiet|deactivate|Standing by\r\n"
                                                     "Sleep now|sleep|Good night\r\n",
                           const QByteArray* currentHead = nullptr)
        : head(log), view(log), editor(log), menus(log), messages(log), tray(log), recognizer(log),
          synthesizer(log) {
        QDir(dir.path()).mkpath("data");
        QDir(dir.path()).mkpath("character");
        writeFile("data/brain.qzb", brain);
        if (currentHead) writeFile("character/currenthead.qzs", *currentHead);
        scripts = std::make_unique<ScriptRunner>(messages);
        services.programFolder = ProgramFolder(dir.path());
        services.recognizer = &recognizer;
        services.synthesizer = &synthesizer;
        services.head = &head;
        services.view = &view;
        services.editor = &editor;
        services.menus = &menus;
        services.messages = &messages;
        services.options = &options;
        services.tray = &tray;
        services.keys = &keys;
        services.clipboard = &clipboard;
        services.launcher = &launcher;
        services.opener = &opener;
        services.scripts = scripts.get();
        services.endProgram = [this] { log.add("end program"); };
        form = std::make_unique<Form1>(services);
    }

    void writeFile(const QString& relative, const QByteArray& bytes) {
        QFile f(dir.filePath(relative));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    QByteArray readFile(const QString& relative) const {
        QFile f(dir.filePath(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    // Starts the program and forgets what start-up logged.
    void start() {
        form->Form_Load();
        log.lines.clear();
        synthesizer.clearLog();
    }
    // Plays the voice through every queued text, so the program is idle again.
    void finishSpeech() { synthesizer.finishAll(); }

    QTemporaryDir dir;
    Log log;
    LoggingHead head;
    LoggingView view;
    LoggingEditor editor;
    LoggingMenus menus;
    LoggingMessages messages;
    RecordingOptions options;
    LoggingTray tray;
    LoggingRecognizer recognizer;
    LoggingSynthesizer synthesizer;
    FakeKeySender keys;
    FakeClipboard clipboard;
    FakeLauncher launcher;
    FakeDocumentOpener opener;
    std::unique_ptr<ScriptRunner> scripts;
    Form1Services services; // what `form` was made with
    std::unique_ptr<Form1> form;
};

} // namespace qz::test
