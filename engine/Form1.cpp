#include "engine/Form1.h"

#include "shell/AboutBox.h"
#include "store/CommandRecord.h"
#include "engine/Log.h"
#include "shell/OptionsMenu.h"
#include "engine/ScriptObjects.h"
#include "shell/Tray.h"
#include "platform/window/Twips.h"
#include "platform/speech/RecoContext.h"
#include "platform/speech/Recognizer.h"
#include "platform/speech/SpeechVoice.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QMessageBox>
#include <QPixmap>

namespace qz {
namespace {

class MessageBoxes : public UserMessages {
public:
    void warning(const QString& title, const QString& text) override {
        QMessageBox::warning(nullptr, title, text);
    }
};

HeadPort g_noHead;
CommandView g_noView;
CommandEditor g_noEditor;
MenuFiller g_noMenus;
MessageBoxes g_messageBoxes;

QIcon trayPicture() {
    QIcon icon(QStringLiteral(":/quorzel/quorzel.png"));
    if (icon.isNull()) {
        // Without the artwork the tray still needs something visible to click.
        QPixmap fallback(32, 32);
        fallback.fill(QColor(40, 110, 200));
        icon = QIcon(fallback);
    }
    return icon;
}

} // namespace

Form1::Form1(Form1Services services, QWidget* parent)
    : QMainWindow(parent), m_services(std::move(services)),
      m_brainlist(m_services.programFolder.commandFile()) {
    if (!m_services.head)
        m_services.head = &g_noHead;
    if (!m_services.view)
        m_services.view = &g_noView;
    if (!m_services.editor)
        m_services.editor = &g_noEditor;
    if (!m_services.menus)
        m_services.menus = &g_noMenus;
    if (!m_services.messages)
        m_services.messages = &g_messageBoxes;
    if (!m_services.endProgram)
        m_services.endProgram = [] { QCoreApplication::exit(0); };
    layOutDesign();
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

    m_stat = new QLabel(QStringLiteral("Not listening"), client);
    m_stat->setObjectName(QStringLiteral("stat"));
    m_stat->setGeometry(twipsRect(120, 5520, 3135, 195, this));
    m_label1 = new QLabel(QStringLiteral("Current: Voice commands"), client);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(twipsRect(3480, 5520, 1815, 195, this));

    m_options = new OptionsMenu(this);
    connect(m_options, &QMenu::aboutToShow, this, &Form1::mnuOptions_Click);
    connect(m_options->mnuBrain(), &QAction::triggered, this, &Form1::mnuBrain_Click);
    connect(m_options->mnuSleep(), &QAction::triggered, this, &Form1::mnuSleep_Click);
    connect(m_options->mnuAbout(), &QAction::triggered, this, &Form1::mnuAbout_Click);
    connect(m_options->mnuQuit(), &QAction::triggered, this, &Form1::mnuQuit_Click);
    m_ikon = trayPicture();
    setWindowIcon(m_ikon);
}

void Form1::Form_Load() {
    hide();
    voiceidle = true;
    asleep = false;
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
        m_services.tray->AddTrayIcon(m_ikon, QStringLiteral("Quorzel"), m_options);
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
    m_services.view->rebuild(m_brainlist);
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

void Form1::mnuOptions_Click() { m_options->mnuBrain()->setEnabled(!isVisible()); }

void Form1::mnuBrain_Click() { show(); }

void Form1::mnuAbout_Click() {
    if (!m_about)
        m_about = new AboutBox(nullptr);
    m_about->show();
    m_about->raise();
}

} // namespace qz
