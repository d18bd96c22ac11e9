#pragma once
// A text-to-speech voice: GetVoices, the Voice property, Speak, and the StartStream / EndStream events,
// raised on the UI thread in that order for every text. Destroying the voice stops its speech and events.
// Depends on a Synthesizer (espeak-ng or the fake), handed in.

#include <QObject>
#include <QPointer>

#include "platform/speech/Synthesizer.h"

namespace qz {

enum SpeakFlags { SVSFDefault = 0, SVSFlagsAsync = 1, SVSFPurgeBeforeSpeak = 2 };

class SpeechVoice : public QObject {
    Q_OBJECT
public:
    // Starts with voice 0 of the synthesizer's list.
    explicit SpeechVoice(Synthesizer& synthesizer, QObject* parent = nullptr);
    ~SpeechVoice() override;

    // Every installed voice, English first; the two filters are accepted for the caller's sake and ignored.
    QList<VoiceToken> GetVoices(const QString& requiredAttributes = {},
                                const QString& optionalAttributes = {}) const;
    // The `Voice` property. setVoice throws SpeechError for a token that is not installed.
    VoiceToken voice() const { return voice_; }
    void setVoice(const VoiceToken& token);

    // Says `text`: flags 1 queues it and returns at once, flags 0 returns once it has been spoken
    // (its events still come through the event loop); 2 first drops what this voice still had to say.
    // Returns the text's stream number.
    int Speak(const QString& text, int flags = SVSFlagsAsync);

    // Between a StartStream and its EndStream.
    bool isSpeaking() const { return speaking_ > 0; }
    // The phoneme being heard ("" when silent), for the head's mouth.
    QString currentPhoneme() const;

signals:
    void StartStream(int streamNumber, qint64 streamPosition);
    void EndStream(int streamNumber, qint64 streamPosition);
    void Phoneme(int streamNumber, const QString& phoneme);

private:
    QPointer<Synthesizer> synthesizer_;
    VoiceToken voice_;
    int nextStream_ = 1;
    int speaking_ = 0;
};

} // namespace qz
