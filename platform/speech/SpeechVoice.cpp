#include "platform/speech/SpeechVoice.h"

#include "platform/speech/SpeechError.h"

namespace qz {

SpeechVoice::SpeechVoice(Synthesizer& synthesizer, QObject* parent)
    : QObject(parent), synthesizer_(&synthesizer) {
    const QList<VoiceToken> all = synthesizer.voices();
    if (!all.isEmpty()) voice_ = all.front();
    const quintptr me = quintptr(this);
    // Only this voice's texts raise its events; a released voice's queued texts are dropped.
    connect(&synthesizer, &Synthesizer::streamStarted, this, [this, me](quintptr owner, int stream) {
        if (owner != me) return;
        ++speaking_;
        emit StartStream(stream, 0);
    });
    connect(&synthesizer, &Synthesizer::streamEnded, this, [this, me](quintptr owner, int stream) {
        if (owner != me) return;
        if (speaking_ > 0) --speaking_;
        emit EndStream(stream, 0);
    });
    connect(&synthesizer, &Synthesizer::phonemeStarted, this,
            [this, me](quintptr owner, int stream, const QString& phoneme) {
                if (owner == me) emit Phoneme(stream, phoneme);
            });
}

SpeechVoice::~SpeechVoice() {
    if (!synthesizer_) return;
    // A released voice raises no more events, not even the EndStream of the text it cuts short.
    disconnect(synthesizer_, nullptr, this, nullptr);
    synthesizer_->purge(quintptr(this));
}

QList<VoiceToken> SpeechVoice::GetVoices(const QString&, const QString&) const {
    return synthesizer_ ? synthesizer_->voices() : QList<VoiceToken>{};
}

void SpeechVoice::setVoice(const VoiceToken& token) {
    if (!GetVoices().contains(token))
        throw SpeechError(
            QString("The voice \"%1\" is not installed.").arg(token.name.isEmpty() ? token.id : token.name));
    voice_ = token;
}

int SpeechVoice::Speak(const QString& text, int flags) {
    if (!synthesizer_) throw SpeechError("The speech synthesizer is gone.");
    if (flags & SVSFPurgeBeforeSpeak) synthesizer_->purge(quintptr(this));
    const int stream = nextStream_++;
    synthesizer_->enqueue(SpeechRequest{quintptr(this), stream, text, voice_, flags});
    if (!(flags & SVSFlagsAsync)) synthesizer_->waitUntilDone(quintptr(this), stream);
    return stream;
}

QString SpeechVoice::currentPhoneme() const {
    return synthesizer_ && speaking_ > 0 ? synthesizer_->currentPhoneme() : QString();
}

} // namespace qz
