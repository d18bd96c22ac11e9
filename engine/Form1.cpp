#include "engine/Form1.h"

#include "engine/Log.h"
#include "engine/ScriptObjects.h"
#include "platform/speech/RecoContext.h"
#include "platform/speech/Recognizer.h"
#include "platform/speech/SpeechVoice.h"
#include "platform/window/Twips.h"
#include "store/CommandRecord.h"
#include "store/TextLines.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>

#include <stdexcept>

namespace qz {
namespace {

// Stand-ins for the parts that a program may leave out (tests, benchmarks): each does nothing.
class NoHead : public HeadPort {
public:
    void changehead(const QString&) override {}
    void startIdle() override {}
    void stopIdle() override {}
    void startTalking() override {}
    void stopTalking() override {}
    void showRestFrame() override {}
};

class NoView : public CommandView {
public:
    void rebuild(const QStringList&) override {}
    void subititle(const QString&) override {}
    QWidget* widget() override { return nullptr; }
};

class NoEditor : public CommandEditor {
public:
    bool isOpen() const override { return false; }
    QString dialogplugin() const override { return {}; }
    QString phrase() const override { return {}; }
    void unload() override {}
};

class NoMenus : public MenuFiller {
public:
    void fillmenus() override {}
};

class NoOptions : public OptionsEntries {
public:
    void setBrainEnabled(bool) override {}
    void setSleepEnabled(bool) override {}
};

NoHead g_noHead;
NoView g_noView;
NoEditor g_noEditor;
NoMenus g_noMenus;
NoOptions g_noOptions;

} // namespace

Form1::Form1(Form1Services services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)), brainlist_(services_.programFolder.commandFile()),
      commandGrammar_(services_.recognizer) {
    if (!services_.messages)
        throw std::invalid_argument("The controller needs a UserMessages to tell the user of failures");
    if (!services_.head) services_.head = &g_noHead;
    if (!services_.view) services_.view = &g_noView;
    if (!services_.editor) services_.editor = &g_noEditor;
    if (!services_.menus) services_.menus = &g_noMenus;
    if (!services_.options) services_.options = &g_noOptions;
    if (!services_.endProgram) services_.endProgram = [] { QCoreApplication::exit(0); };
    layOutDesign();
    connect(&commandGrammar_, &CommandGrammar::Recognition, this, &Form1::RecoContext_Recognition);
    connect(&commandGrammar_, &CommandGrammar::Hypothesis, this, &Form1::RecoContext_Hypothesis);
    connect(&commandGrammar_, &CommandGrammar::FalseRecognition, this, &Form1::RecoContext_FalseRecognition);
}

Form1::~Form1() = default;

void Form1::layOutDesign() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quorzel 4 BETA"));
    auto* client = new QWidget(this);
    setCentralWidget(client);
    client->setFixedSize(twipsToPixels(5370, this), twipsToPixels(5775, this));

    auto* brainbox = new QWidget(client);
    brainbox->setObjectName(QStringLiteral("brainbox"));
    brainbox->setGeometry(twipsRect(0, 0, 5370, 5445, this));
    if (QWidget* rows = services_.view->widget()) {
        rows->setParent(brainbox);
        rows->setGeometry(brainbox->rect());
    }

    stat_ = new QLabel(state_.statusText(), client);
    stat_->setObjectName(QStringLiteral("stat"));
    stat_->setGeometry(twipsRect(120, 5520, 3135, 195, this));
    label1_ = new QLabel(QStringLiteral("Current: Voice commands"), client);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setGeometry(twipsRect(3480, 5520, 1815, 195, this));
    setWindowIcon(services_.ikon);
    for (QMenu* menu : services_.menuBar)
        menuBar()->addMenu(menu);
}

void Form1::Form_Load() {
    hide();
    state_.setVoiceIdle(true);
    state_.wake();
    loadCommandFile();
    const QString head = readCurrentHead();
    if (head != QStringLiteral("none")) services_.head->changehead(head);
    refreshbrain();
    QCoreApplication::processEvents();
    lastpluginrecord.clear();
    try {
        SetupGrammar();
    } catch (const std::exception& e) {
        // The program stays useful without recognition: the status line says why it cannot listen, and
        // the next end of speech tries again.
        grammarLost_ = true;
        stat_->setText(QString::fromUtf8(e.what()));
    }
    if (services_.recognizer) {
        if (!services_.recognizer->status().isEmpty()) stat_->setText(services_.recognizer->status());
        connect(services_.recognizer, &Recognizer::statusChanged, this, [this](const QString& status) {
            if (!status.isEmpty()) stat_->setText(status);
        });
    }
    QCoreApplication::processEvents();
    createVoice();
    QCoreApplication::processEvents();
    if (services_.tray) services_.tray->AddTrayIcon(services_.ikon, QStringLiteral("Quorzel"));
    services_.menus->fillmenus();
    qCDebug(lcEngine) << "started with" << brainlist_.count() << "commands; status:" << stat_->text();
}

void Form1::loadCommandFile() {
    const auto result = brainlist_.load();
    if (result.status == CommandFile::ReadResult::Status::Unreadable) {
        services_.messages->warning(
            QStringLiteral("Quorzel"),
            QStringLiteral(
                "Quorzel could not read its command file\n%1\n\n%2\n\nThe file is left exactly as it "
                "is: Quorzel starts without your commands and will not write to it until it is "
                "started again.")
                .arg(brainlist_.filePath(), result.error));
    }
}

QString Form1::readCurrentHead() const {
    // A missing or unreadable current-head file means no head, as "none" does.
    const auto lines = readTextLines(services_.programFolder.currentHeadFile());
    return lines && !lines->isEmpty() ? lines->first() : QStringLiteral("none");
}

void Form1::createVoice() {
    if (!services_.synthesizer) return;
    voice_ = std::make_unique<SpeechVoice>(*services_.synthesizer);
    connectVoice();
    const QList<VoiceToken> voices = voice_->GetVoices(QString(), QString());
    // Voice 1 is the start-up voice; with a single installed voice that one has to do.
    if (voices.size() > 1)
        voice_->setVoice(voices.at(1));
    else if (!voices.isEmpty())
        voice_->setVoice(voices.at(0));
}

void Form1::refreshbrain() {
    services_.view->rebuild(brainlist_.records());
    const QString failure = brainlist_.save();
    if (failure.isEmpty()) {
        lastSaveFailure_.clear();
        return;
    }
    tellOnce(failure,
             QStringLiteral("Quorzel could not save your commands to\n%1\n\n%2\n\nThe file keeps its "
                            "previous contents; the change is kept while Quorzel runs.")
                 .arg(brainlist_.filePath(), failure));
}

void Form1::tellOnce(const QString& key, const QString& text) {
    // One failing save is reported once, not at every later change that fails the same way.
    if (key == lastSaveFailure_) return;
    lastSaveFailure_ = key;
    services_.messages->warning(QStringLiteral("Quorzel"), text);
}

void Form1::addtobrain(const QString& settings, const QString& plugin) {
    CommandEditor& editor = *services_.editor;
    const QString name = plugin.isEmpty() ? editor.dialogplugin() : plugin;
    const QString record = CommandRecord::compose(editor.phrase(), settings, name);
    brainlist_.append(record);
    editor.unload();
    refreshbrain();
    RebuildGrammar();
}

void Form1::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

void Form1::mnuQuit_Click() {
    try {
        if (voice_) voice_->Speak(QString(), 0);
    } catch (const std::exception&) {
        // Quit goes on whatever fails.
    }
    QCoreApplication::processEvents();
    services_.editor->unload();
    if (services_.tray) services_.tray->RemoveTrayIcon();
    services_.endProgram();
}

void Form1::mnuOptions_Click() {
    services_.options->setBrainEnabled(!isVisible());
}

void Form1::mnuBrain_Click() {
    show();
}

} // namespace qz
