// The operations commands and plugin scripts act through, and the voice's start and end events.

#include "store/CommandRecord.h"
#include "engine/Form1.h"
#include "platform/scripthost/ScriptText.h"
#include "platform/desktop/Clipboard.h"
#include "platform/desktop/DesktopError.h"
#include "platform/desktop/DocumentOpener.h"
#include "platform/desktop/KeySender.h"
#include "platform/desktop/Launcher.h"
#include "platform/speech/Recognizer.h"
#include "platform/speech/SpeechError.h"
#include "platform/speech/SpeechVoice.h"

#include "vbscript/ScriptError.h"

#include <cmath>

namespace qz {
namespace {

// Halves go to the even neighbour, as the script language rounds indexes.
int roundHalfEven(float value) { return int(std::nearbyint(value)); }

} // namespace

void Form1::speak(const QString& text) {
    if (!m_voice)
        throw SpeechError(QStringLiteral("There is no voice to speak with"));
    m_voice->Speak(text, SVSFlagsAsync);
}

void Form1::say(const QString& text) {
    try {
        speak(text);
    } catch (const std::exception&) {
        // The dispatch goes on without the spoken reply.
    }
}

void Form1::presskeys(const QString& keys) {
    if (!m_services.keys)
        throw DesktopError("Pressing keys needs an X11 display");
    m_services.keys->pressKeys(keys);
}

void Form1::cmd(const QString& commandLine) {
    if (!m_services.launcher)
        throw DesktopError("Programs cannot be started here");
    m_services.launcher->start(commandLine);
}

void Form1::openfile(const QString& whichone) {
    if (m_services.opener)
        m_services.opener->open(whichone);
}

QString Form1::getsellected() {
    if (!m_services.keys || !m_services.clipboard)
        throw DesktopError("Reading the selected text needs an X11 display");
    return copySelectedText(*m_services.keys, *m_services.clipboard);
}

QString Form1::settings(float& n) const {
    // The sum is formed in single precision, like the argument.
    const float sum = n + 2.0f;
    const int index = roundHalfEven(sum);
    const auto value = CommandRecord::field(pluginrecord, index);
    if (!value)
        throw vbscript::ScriptError(9, toScriptText(QStringLiteral("Subscript out of range: the command has no setting %1")
                                                 .arg(index - 2)));
    return *value;
}

void Form1::setvoice(float& n) {
    if (n > 2)
        n = 1;
    if (!m_services.synthesizer)
        throw SpeechError(QStringLiteral("There is no voice to choose"));
    const bool wasSpeaking = m_voice && m_voice->isSpeaking();
    m_voice = std::make_unique<SpeechVoice>(*m_services.synthesizer);
    connectVoice();
    // The released voice never reports the end of what it was saying; close that stream here so the
    // program does not stay deaf waiting for it.
    if (wasSpeaking)
        Voice_EndStream();
    const QList<VoiceToken> voices = m_voice->GetVoices(QString(), QString());
    const int index = roundHalfEven(n);
    if (index < 0 || index >= voices.size())
        throw vbscript::ScriptError(
            5, toScriptText(QStringLiteral("Voice %1 is not installed (%2 voices are)").arg(index).arg(voices.size())));
    m_voice->setVoice(voices.at(index));
}

void Form1::connectVoice() {
    connect(m_voice.get(), &SpeechVoice::StartStream, this, [this] { Voice_StartStream(); });
    connect(m_voice.get(), &SpeechVoice::EndStream, this, [this] { Voice_EndStream(); });
}

void Form1::Voice_StartStream() {
    m_state.setVoiceIdle(false);
    if (m_services.recognizer)
        m_services.recognizer->setOwnVoiceSounding(true);
    m_services.head->stopIdle();
    m_services.head->startTalking();
}

void Form1::Voice_EndStream() {
    m_services.head->stopTalking();
    m_state.setVoiceIdle(true);
    m_services.head->showRestFrame();
    m_services.head->startIdle();
    if (m_services.recognizer)
        m_services.recognizer->setOwnVoiceSounding(false);
    try {
        SetupGrammar();
        if (m_grammarLost) {
            m_grammarLost = false;
            showStatus();
        }
    } catch (const std::exception& e) {
        // The recogniser is gone: keep running, say why, and try again after the next spoken text.
        m_grammarLost = true;
        m_stat->setText(QString::fromUtf8(e.what()));
    }
}

} // namespace qz
