#include "engine/Form1.h"

#include "engine/Log.h"
#include "engine/ScriptObjects.h"
#include "platform/speech/RecoContext.h"
#include "platform/speech/Recognizer.h"
#include "platform/speech/SpeechVoice.h"
#include "platform/window/Twips.h"
#include "store/CommandRecord.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>

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
    : QMainWindow(parent), m_services(std::move(services)),
      m_brainlist(m_services.programFolder.commandFile()), m_commandGrammar(m_services.recognizer) {
    if (!m_services.messages)
        throw std::invalid_argument("The controller needs a UserMessages to tell the user of failures");
    if (!m_services.head)
        m_services.head = &g_noHead;
    if (!m_services.view)
        m_services.view = &g_noView;
    if (!m_services.editor)
        m_services.editor = &g_noEditor;
    if (!m_services.menus)
        m_services.menus = &g_noMenus;
    if (!m_services.options)
        m_services.options = &g_noOptions;
    if (!m_services.endProgram)
        m_services.endProgram = [] { QCoreApplication::exit(0); };
    layOutDesign();
    connect(&m_commandGrammar, &CommandGrammar::Recognition, this, &Form1::RecoContext_Recognition);
    connect(&m_commandGrammar, &CommandGrammar::Hypothesis, this, &Form1::RecoContext_Hypothesis);
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
    if (QWidget* rows = m_services.view->widget()) {
        rows->setParent(brainbox);
        rows->setGeometry(brainbox->rect());
    }

    m_stat = new QLabel(m_state.statusText(), client);
    m_stat->setObjectName(QStringLiteral("stat"));
    m_stat->setGeometry(twipsRect(120, 5520, 3135, 195, this));
    m_label1 = new QLabel(QStringLiteral("Current: Voice commands"), client);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(twipsRect(3480, 5520, 1815, 195, this));
    setWindowIcon(m_services.ikon);
}

void Form1::Form_Load() {
    hide();
    m_state.setVoiceIdle(true);
    m_state.wake();
    loadCommandFile();
    const QString head = readCurrentHead();
    if (head != QStringLiteral("none"))
        m_services.head->changehead(head);
    refreshbrain();
    QCoreApplication::processEvents();
    lastpluginrecord.clear();
    try {
        SetupGrammar();
    } catch (const std::exception& e) {
        // The program stays useful without recognition: the status line says why it cannot listen, and
        // the next end of speech tries again.
        m_grammarLost = true;
        m_stat->setText(QString::fromUtf8(e.what()));
    }
    if (m_services.recognizer) {
        if (!m_services.recognizer->status().isEmpty())
            m_stat->setText(m_services.recognizer->status());
        connect(m_services.recognizer, &Recognizer::statusChanged, this, [this](const QString& status) {
            if (!status.isEmpty())
                m_stat->setText(status);
        });
    }
    QCoreApplication::processEvents();
    createVoice();
    QCoreApplication::processEvents();
    if (m_services.tray)
        m_services.tray->AddTrayIcon(m_services.ikon, QStringLiteral("Quorzel"));
    m_services.menus->fillmenus();
    qCDebug(lcEngine) << "started with" << m_brainlist.count() << "commands; status:" << m_stat->text();
}

void Form1::loadCommandFile() {
    const auto result = m_brainlist.load();
    if (result.status == CommandFile::ReadResult::Status::Unreadable) {
        m_services.messages->warning(
            QStringLiteral("Quorzel"),
            QStringLiteral("Quorzel could not read its command file\n%1\n\n%2\n\nThe file is left exactly as it "
                           "is: Quorzel starts without your commands and will not write to it until it is "
                           "started again.")
                .arg(m_brainlist.filePath(), result.error));
    }
}

QString Form1::readCurrentHead() const {
    QFile file(m_services.programFolder.currentHeadFile());
    // A missing or unreadable current-head file means no head, as "none" does.
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("none");
    const QByteArray bytes = file.readAll();
    const QStringList lines = CommandFile::parseRecords(bytes, detectEncoding(bytes));
    return lines.isEmpty() ? QStringLiteral("none") : lines.first();
}

void Form1::createVoice() {
    if (!m_services.synthesizer)
        return;
    m_voice = std::make_unique<SpeechVoice>(*m_services.synthesizer);
    connectVoice();
    const QList<VoiceToken> voices = m_voice->GetVoices(QString(), QString());
    // Voice 1 is the start-up voice; with a single installed voice that one has to do.
    if (voices.size() > 1)
        m_voice->setVoice(voices.at(1));
    else if (!voices.isEmpty())
        m_voice->setVoice(voices.at(0));
}

void Form1::refreshbrain() {
    m_services.view->rebuild(m_brainlist.records());
    const QString failure = m_brainlist.save();
    if (failure.isEmpty()) {
        m_lastSaveFailure.clear();
        return;
    }
    tellOnce(failure, QStringLiteral("Quorzel could not save your commands to\n%1\n\n%2\n\nThe file keeps its "
                                     "previous contents; the change is kept while Quorzel runs.")
                          .arg(m_brainlist.filePath(), failure));
}

void Form1::tellOnce(const QString& key, const QString& text) {
    // One failing save is reported once, not at every later change that fails the same way.
    if (key == m_lastSaveFailure)
        return;
    m_lastSaveFailure = key;
    m_services.messages->warning(QStringLiteral("Quorzel"), text);
}

void Form1::addtobrain(const QString& settings, const QString& plugin) {
    CommandEditor& editor = *m_services.editor;
    const QString name = plugin.isEmpty() ? editor.dialogplugin() : plugin;
    const QString record = CommandRecord::compose(editor.phrase(), settings, name);
    m_brainlist.append(record);
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
        if (m_voice)
            m_voice->Speak(QString(), 0);
    } catch (const std::exception&) {
        // Quit goes on whatever fails.
    }
    QCoreApplication::processEvents();
    m_services.editor->unload();
    if (m_services.tray)
        m_services.tray->RemoveTrayIcon();
    m_services.endProgram();
}

void Form1::mnuOptions_Click() { m_services.options->setBrainEnabled(!isVisible()); }

void Form1::mnuBrain_Click() { show(); }

} // namespace qz
