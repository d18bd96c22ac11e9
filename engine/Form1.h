#pragma once

// The controller: the main window that owns the command list, the speech objects and the controller
// state, starts the program up and shuts it down. Every other window and service is handed in through
// the ports of platform/ports; what the user does in those windows reaches the handlers here through
// connections that app/ makes.

#include "engine/CommandGrammar.h"
#include "engine/ListeningState.h"
#include "platform/ports/CommandEditor.h"
#include "platform/ports/CommandView.h"
#include "platform/ports/HeadPort.h"
#include "platform/ports/MenuFiller.h"
#include "platform/ports/OptionsEntries.h"
#include "platform/ports/Tray.h"
#include "platform/ports/UserMessages.h"
#include "store/BrainList.h"
#include "store/ProgramFolder.h"

#include <QIcon>
#include <QLabel>
#include <QList>
#include <QMainWindow>
#include <QString>

class QMenu;

#include <deque>
#include <functional>
#include <memory>
#include <optional>

namespace qz {

class Clipboard;
class DocumentOpener;
class KeySender;
class Launcher;
class PhraseProperty;
class RecoResult;
class ScriptObjects;
class ScriptRunner;
class Recognizer;
class RecoContext;
class RecoGrammar;
class RecoRule;
class RecoState;
class SpeechVoice;
class Synthesizer;

struct Form1Services {
    ProgramFolder programFolder;        // the folder of the executable: data/ and character/ are in it
    Recognizer* recognizer = nullptr;   // null: the program runs without recognition
    Synthesizer* synthesizer = nullptr; // null: the program runs without a voice
    UserMessages* messages = nullptr;   // required: every failure the user must hear of goes here
    HeadPort* head = nullptr;           // null: no head (it does nothing)
    CommandView* view = nullptr;        // null: no rows
    CommandEditor* editor = nullptr;    // null: the editor is never open
    MenuFiller* menus = nullptr;        // null: no plugin or head entries
    OptionsEntries* options = nullptr;  // null: no "Options" menu
    Tray* tray = nullptr;               // null: no tray icon
    QIcon ikon;                         // the program's picture, for the tray and the window
    QList<QMenu*> menuBar;              // the window's menus, left to right ("Add command"); app/ owns them
    KeySender* keys = nullptr;          // null: pressing keys fails with a script error
    Clipboard* clipboard = nullptr;
    Launcher* launcher = nullptr;
    DocumentOpener* opener = nullptr;
    ScriptRunner* scripts = nullptr;  // `ScriptC`; null: plugins do not run
    std::function<void()> endProgram; // ends the program at once; default: leave the event loop
};

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(Form1Services services, QWidget* parent = nullptr);
    ~Form1() override;

    // Start-up, in its fixed order; runs once.
    void Form_Load();
    // "Quit": silences the voice, closes the editor, removes the tray icon and ends the program.
    void mnuQuit_Click();
    // "Options" is about to open: "Show brain" is enabled exactly when this window is hidden.
    void mnuOptions_Click();
    void mnuBrain_Click();

    // A row's Delete button: removes record `index`, refreshes and rebuilds the grammar. No question is
    // asked. An index outside the list does nothing.
    void remove_Click(int index);
    // Shows the window when neither the tray nor the head could give it back (a head just taken away, on
    // a desktop without a tray).
    void keepReachable();

    // Rebuilds the command list view and rewrites the command file.
    void refreshbrain();
    // Stores a new command from the open editor; see CommandRecord::compose. Throws InvalidRecord (nothing
    // stored, editor left open) when the phrase is blank or a value would corrupt the command file. While
    // a Change is being confirmed, the changed record is removed as the new one arrives.
    void addtobrain(const QString& settings, const QString& plugin);

    // The settings runs. Each loads its plugin with the settings objects and runs one procedure; while one
    // is between loading and its procedure's return, recognised commands and further settings runs wait,
    // so draw, Changer and create always run in their own plugin's code.
    // The "Add command" entry of `plugin`: the editor opened for a new command, filled by "draw".
    void pluginmenu_Click(const QString& plugin);
    // The editor opened in Change mode on record `index`, filled by the plugin's "Changer".
    void changethesetting(int index);
    // A row's change button.
    void changer_Click(int index);
    // The editor's confirm button: the plugin's "create" composes the settings and calls addtobrain.
    void addtobrain_Click();
    // The field builder, `qz.create`: a new field of the open editor.
    void create(const QString& kind);

    // A fresh recognition context with the command grammar, filled from `brainlist` and active.
    void SetupGrammar();
    // Refills the command rule from `brainlist` and commits it.
    void RebuildGrammar();

    // The recogniser's events (connected to every new context).
    void RecoContext_Recognition(const RecoResult& result);
    void RecoContext_Hypothesis(const RecoResult& result);
    // Speech that was not taken for a command: row 0 shows its own second line again, so the screen never
    // keeps a guess that was not acted on.
    void RecoContext_FalseRecognition();

    // Listening state, dictation and capture.
    void Startdictation();
    void capturesentence();
    void Stopdictation();
    // While dictating or capturing, also listen for `phrase` as a whole: when it is said it arrives exactly
    // as given instead of as dictated words. Plugins register their stop phrases this way; Stopdictation
    // forgets them.
    void listenfor(const QString& phrase);
    void mnuSleep_Click();

    // Action primitives, for commands and plugin scripts. Failures throw (a script sees an error), except
    // `openfile`, which ignores them as designed.
    void speak(const QString& text);
    void presskeys(const QString& keys);
    void cmd(const QString& commandLine);
    void openfile(const QString& whichone);
    QString getsellected();
    QString settings(float& n) const;
    void setvoice(float& n);
    void Voice_StartStream();
    void Voice_EndStream();

    // Runs the plugin of record `record`: with `rememberAsLast`, as a spoken plugin command (it becomes
    // `lastpluginrecord`), otherwise as the repeat of one.
    void runPluginOfRecord(const QString& record, bool rememberAsLast);

    // Controller state.
    BrainList& brainlist() { return brainlist_; }
    ListeningState& state() { return state_; }
    const ListeningState& state() const { return state_; }
    QString lastpluginrecord;
    QString pluginrecord;
    QString capturedtext;

    RecoContext* recoContext() const { return commandGrammar_.context(); }
    RecoGrammar* grammar() const { return commandGrammar_.grammar(); }
    SpeechVoice* voice() const { return voice_.get(); }
    const ProgramFolder& programFolder() const { return services_.programFolder; }

    QLabel* stat() const { return stat_; }
    QLabel* Label1() const { return label1_; }
    QIcon ikon() const { return services_.ikon; }

protected:
    // Closing only hides the window: the program lives on in the tray or as the head. Where neither can
    // give the window back, closing minimises it instead.
    void closeEvent(QCloseEvent* event) override;

private:
    void layOutDesign();
    void layOutStatusLine(QWidget* client, int top);
    // The tray or the head can show the window again.
    bool reachableElsewhere() const;
    void loadCommandFile();
    QString readCurrentHead() const;
    void createVoice();
    void tellOnce(const QString& key, const QString& text);
    // Says once a run that the grammar had to leave commands out, and why.
    void tellLeftOut();
    void connectVoice();
    void startDictationMode(QStringView mode);
    // The dispatch of a result whose command record was looked up when it was heard.
    void handleRecognition(const RecoResult& result, const QString& record);
    // The plugin file's text, or nothing after telling the user which file is missing. `command` names
    // what the user was doing it for.
    std::optional<QString> settingsPluginText(const QString& plugin, const QString& command);
    // Load plugin with the settings objects.
    bool loadForSettings(const QString& plugin, const QString& text);
    void loadForAction(const QString& record, const QString& text);
    // Queues `task` while a settings run is between loading and its procedure's return.
    bool waitForSettingsRun(std::function<void()> task);
    void runWaiting();
    // The editor's tag follows the changed record when removals in front of it renumber it.
    void followChangedRecord();
    void say(const QString& text);
    // The status line shows what the listening state says.
    void showStatus();

    Form1Services services_;
    BrainList brainlist_;
    ListeningState state_;
    CommandGrammar commandGrammar_; // `RecoContext` and its grammar
    std::unique_ptr<SpeechVoice> voice_;

    QLabel* stat_ = nullptr;
    QLabel* label1_ = nullptr;
    QString lastSaveFailure_;                      // told once; cleared when a save succeeds again
    std::unique_ptr<ScriptObjects> scriptObjects_; // "QZ" and "clipboard", made at the first run
    bool toldTooMany_ = false;
    bool toldTooLong_ = false;
    bool grammarLost_ = false; // SetupGrammar failed after a spoken text: try again at the next one

    class SettingsRun;
    int settingsRuns_ = 0;                      // > 0 from a settings run's loading to its procedure's return
    std::deque<std::function<void()>> waiting_; // what arrived meanwhile, in order
    bool runningWaiting_ = false;
    quint64 changing_ = 0;  // the id in brainlist of the record the editor changes; 0 in Create mode
    quint64 replacing_ = 0; // while a Change is confirmed: the record that addtobrain replaces
    quint64 hostLoads_ = 0; // counts the plugins handed to the script host
    QString captureRecord_; // the record of the plugin that asked for capture mode
    quint64 captureLoad_ = 0;
};

} // namespace qz
