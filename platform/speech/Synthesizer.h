#pragma once
// The text-to-speech backend (a role with an espeak-ng backend and a fake) shared by every SpeechVoice:
// one queue of texts, spoken one after the other. Signals arrive on the UI thread.

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>

namespace qz {

// One installed voice, as GetVoices lists it.
struct VoiceToken {
    QString id;       // the backend's name for it, e.g. "en-us" or "en-us+f2"
    QString name;     // what the user sees, e.g. "English (America), female 2"
    QString language; // e.g. "en-us"

    QString GetDescription() const { return name; }
    bool isNull() const { return id.isEmpty(); }
    bool operator==(const VoiceToken&) const = default;
};

// One text to say; `owner` identifies the SpeechVoice that asked, `streamNumber` counts its texts from 1.
struct SpeechRequest {
    quintptr owner = 0;
    int streamNumber = 0;
    QString text;
    VoiceToken voice;
    int flags = 1;
};

class Synthesizer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Every installed voice, English ones first so that indexes 0, 1 and 2 are three distinct English voices.
    virtual QList<VoiceToken> voices() const = 0;
    // Empty when speech is heard; otherwise why not (e.g. "No speaker found: speech is timed silently").
    virtual QString status() const = 0;

    // Queues a text behind every earlier one.
    virtual void enqueue(const SpeechRequest& request) = 0;
    // Blocks until that text has been spoken (or dropped); its events stay queued for the event loop.
    virtual void waitUntilDone(quintptr owner, int streamNumber) = 0;
    // Drops the owner's queued texts (they raise no events) and cuts short the one playing, if it is the
    // owner's: that one still raises its EndStream, so every StartStream is matched.
    virtual void purge(quintptr owner) = 0;
    // The phoneme being heard now ("" in silence), in the backend's phoneme alphabet; any thread.
    virtual QString currentPhoneme() const = 0;

signals:
    void streamStarted(quintptr owner, int streamNumber);
    void streamEnded(quintptr owner, int streamNumber);
    void phonemeStarted(quintptr owner, int streamNumber, const QString& phoneme);
};

} // namespace qz

Q_DECLARE_METATYPE(qz::VoiceToken)
