// The operations commands and plugin scripts act through, and the voice's start and end events.

#include "engine/Form1.h"
#include "platform/desktop/Clipboard.h"
#include "platform/desktop/DesktopError.h"
#include "platform/desktop/DocumentOpener.h"
#include "platform/desktop/KeySender.h"
#include "platform/desktop/Launcher.h"
#include "platform/scripthost/ScriptText.h"
#include "platform/speech/Recognizer.h"
#include "platform/speech/SpeechError.h"
#include "platform/speech/SpeechVoice.h"
#include "plugins/ScriptRunner.h"
#include "store/CommandRecord.h"

#include "vbscript/ScriptError.h"
#include "vbscript/Variant.h"

#include <cmath>

namespace qz {
namespace {

// Halves go to the even neighbour, as the script language rounds indexes.
int roundHalfEven(float value) {
    return int(std::nearbyint(value));
}

} // namespace

void Form1::speak(const QString& text) {
    if (!voice_) throw SpeechError(QStringLiteral("There is no voice to speak with"));
    voice_->Speak(text, SVSFlagsAsync);
}

void Form1::say(const QString& text) {
    try {
        speak(text);
    } catch (const std::exception&) {
        // The dispatch goes on without the spoken reply.
    }
}

void Form1::presskeys(const QString& keys) {
    if (!services_.keys) throw DesktopError("Pressing keys needs an X11 display");
    // A long run of keys ends with the script's time, like any statement of the script.
    ScriptRunner* scripts = services_.scripts;
    try {
        services_.keys->pressKeys(keys, [scripts] { return scripts && scripts->stopRequested(); });
    } catch (const KeySendingStopped&) {
        throw vbscript::ScriptStopped();
    }
}

void Form1::cmd(const QString& commandLine) {
    if (!services_.launcher) throw DesktopError("Programs cannot be started here");
    services_.launcher->start(commandLine);
}

void Form1::openfile(const QString& whichone) {
    if (services_.opener) services_.opener->open(whichone);
}

QString Form1::getsellected() {
    if (!services_.keys || !services_.clipboard)
        throw DesktopError("Reading the selected text needs an X11 display");
    return copySelectedText(*services_.keys, *services_.clipboard);
}

QString Form1::settings(float& n) const {
    // The sum is formed in single precision, like the argument. An index must fit a Long, as the script
    // language's own indexes do; beyond that it is an overflow, never a wrapped-around number.
    const float sum = n + 2.0f;
    if (!(std::nearbyint(sum) >= -2147483648.0f && std::nearbyint(sum) < 2147483648.0f))
        throw vbscript::ScriptError(6);
    const auto value = CommandRecord::field(pluginrecord, roundHalfEven(sum));
    if (!value)
        throw vbscript::ScriptError(9, u"Subscript out of range: the command has no setting " +
                                           vbscript::Variant::fromSingle(n).toString());
    return *value;
}

void Form1::setvoice(float& n) {
    if (n > 2) n = 1;
    if (!services_.synthesizer) throw SpeechError(QStringLiteral("There is no voice to choose"));
    const bool wasSpeaking = voice_ && voice_->isSpeaking();
    voice_ = std::make_unique<SpeechVoice>(*services_.synthesizer);
    connectVoice();
    // The released voice never reports the end of what it was saying; close that stream here so the
    // program does not stay deaf waiting for it.
    if (wasSpeaking) Voice_EndStream();
    const QList<VoiceToken> voices = voice_->GetVoices(QString(), QString());
    const int index = roundHalfEven(n);
    if (index < 0 || index >= voices.size())
        throw vbscript::ScriptError(
            5,
            toScriptText(
                QStringLiteral("Voice %1 is not installed (%2 voices are)").arg(index).arg(voices.size())));
    voice_->setVoice(voices.at(index));
}

void Form1::connectVoice() {
    connect(voice_.get(), &SpeechVoice::StartStream, this, [this] { Voice_StartStream(); });
    connect(voice_.get(), &SpeechVoice::EndStream, this, [this] { Voice_EndStream(); });
}

void Form1::Voice_StartStream() {
    state_.setVoiceIdle(false);
    if (services_.recognizer) services_.recognizer->setOwnVoiceSounding(true);
    services_.head->stopIdle();
    services_.head->startTalking();
}

void Form1::Voice_EndStream() {
    services_.head->stopTalking();
    state_.setVoiceIdle(true);
    services_.head->showRestFrame();
    services_.head->startIdle();
    if (services_.recognizer) services_.recognizer->setOwnVoiceSounding(false);
    try {
        SetupGrammar();
        if (grammarLost_) {
            grammarLost_ = false;
            showStatus();
        }
    } catch (const std::exception& e) {
        // The recogniser is gone: keep running, say why, and try again after the next spoken text.
        grammarLost_ = true;
        stat_->setText(QString::fromUtf8(e.what()));
    }
}

} // namespace qz
