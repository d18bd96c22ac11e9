#include "engine/Form1.h"

#include "engine/Log.h"
#include "engine/ScriptObjects.h"
#include "platform/speech/RecoContext.h"
#include "platform/speech/Recognizer.h"
#include "platform/speech/SpeechVoice.h"
#include "platform/window/ElidedLabel.h"
#include "platform/window/Twips.h"
#include "store/CommandRecord.h"
#include "store/TextLines.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>

#include <algorithm>
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
    void setDialogplugin(const QString&) override {}
    QString phrase() const override { return {}; }
    void unload() override {}
    void clearFields() override {}
    QString confirmCaption() const override { return {}; }
    void setConfirmButton(const QString&, const QString&) override {}
    void setConfirmTag(const QString&) override {}
    void showModeless() override {}
    void create(const QString&) override {}
    void attachBrowseButtons() override {}
    QObject* scriptObject(const QString&) override { return nullptr; }
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
    // The command list with its scroll bar at the top left, the status line below it.
    const QRect list = twipsRect(0, 0, 5370, 5445, this);
    if (QWidget* rows = services_.view->widget()) {
        rows->setParent(client);
        rows->setGeometry(list);
    }
    layOutStatusLine(client, list.bottom() + 1);
    setWindowIcon(services_.ikon);
    for (QMenu* menu : services_.menuBar)
        menuBar()->addMenu(menu);
}

void Form1::layOutStatusLine(QWidget* client, int top) {
    // `stat` and `Label1` sit side by side under the list as designed, but sized by their text in the
    // desktop's font rather than by the design's twips, which cut "Current: Voice commands" short.
    // A long status (why the program cannot listen) ends in an ellipsis and shows whole as a tooltip.
    stat_ = new ElidedLabel(state_.statusText(), client);
    stat_->setObjectName(QStringLiteral("stat"));
    label1_ = new QLabel(QStringLiteral("Current: Voice commands"), client);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const QFontMetrics metrics(label1_->font());
    const int lineHeight = std::max(twipsToPixels(330, this), metrics.height() + 8);
    const int width = twipsToPixels(5370, this);
    client->setFixedSize(width, top + lineHeight);

    const int margin = twipsToPixels(120, this);
    int modeWidth = 0;
    for (const char* text : {"Current: Voice commands", "Current: Dictating..."})
        modeWidth = std::max(modeWidth, metrics.horizontalAdvance(QLatin1String(text)) + 2);
    const int labelTop = top + (lineHeight - metrics.height()) / 2;
    label1_->setGeometry(width - margin - modeWidth, labelTop, modeWidth, metrics.height());
    const int statRight = label1_->x() - twipsToPixels(225, this);
    stat_->setGeometry(margin, labelTop, statRight - margin, metrics.height());
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
    // Without a tray the window is the program's face: hidden, it could hardly be found again.
    if (!services_.tray || !services_.tray->isAvailable()) show();
    qCDebug(lcEngine) << "started with" << brainlist_.count() << "commands; status:" << stat_->text();
}

void Form1::loadCommandFile() {
    const auto result = brainlist_.load();
    if (result.status == CommandFile::ReadResult::Status::Unreadable) {
        services_.messages->warning(
            QStringLiteral("Quorzel"),
            QStringLiteral(
                "Quorzel could not read its command file\n%1\n\n%2.\n\nThe file is left exactly as it "
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
    followChangedRecord();
    const QString failure = brainlist_.save();
    if (failure.isEmpty()) {
        lastSaveFailure_.clear();
        return;
    }
    tellOnce(failure,
             QStringLiteral("Quorzel could not save your commands to\n%1\n\n%2.\n\nThe file keeps its "
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
    const QString phrase = editor.phrase();
    if (phrase.trimmed().isEmpty())
        throw InvalidRecord("Type the activation phrase: a command without words would be carried out at "
                            "any noise Quorzel hears.");
    const QString record = CommandRecord::compose(phrase, settings, name);
    // A changed command replaces its old record only now that the new one has arrived; if the old one
    // was deleted meanwhile, the new command is simply added.
    if (replacing_ != 0) {
        const int old = brainlist_.indexOfId(replacing_);
        replacing_ = 0;
        if (old >= 0) brainlist_.remove(old);
    }
    brainlist_.append(record);
    editor.unload();
    refreshbrain();
    RebuildGrammar();
}

void Form1::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (reachableElsewhere())
        hide();
    else
        showMinimized();
}

bool Form1::reachableElsewhere() const {
    return (services_.tray && services_.tray->isAvailable()) || services_.head->isShown();
}

void Form1::keepReachable() {
    if (!isVisible() && !reachableElsewhere()) show();
}

void Form1::remove_Click(int index) {
    if (!brainlist_.remove(index)) return;
    refreshbrain();
    RebuildGrammar();
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
