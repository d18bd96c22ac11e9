#include "platform/fake/FakeSynthesizer.h"

namespace qz {

FakeSynthesizer::FakeSynthesizer(QList<VoiceToken> voices, QObject* parent)
    : Synthesizer(parent), voices_(std::move(voices)) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (playing_) finishCurrent();
        scheduleNext();
    });
}

QList<VoiceToken> FakeSynthesizer::defaultVoices() {
    return {{"en-us", "English (America)", "en-us"},
            {"en-gb", "English (Great Britain)", "en-gb"},
            {"en-us+f2", "English (America), female", "en-us"},
            {"de", "German", "de"},
            {"fr-fr", "French (France)", "fr-fr"}};
}

bool FakeSynthesizer::startNext() {
    if (playing_ || queue_.isEmpty()) return false;
    current_ = queue_.takeFirst();
    playing_ = true;
    emit streamStarted(current_.owner, current_.streamNumber);
    emit phonemeStarted(current_.owner, current_.streamNumber, phoneme_);
    return true;
}

bool FakeSynthesizer::finishCurrent() {
    if (!playing_) return false;
    playing_ = false;
    emit streamEnded(current_.owner, current_.streamNumber);
    return true;
}

bool FakeSynthesizer::finishAll() {
    bool any = finishCurrent();
    while (startNext()) {
        finishCurrent();
        any = true;
    }
    return any;
}

void FakeSynthesizer::setMillisecondsPerWord(int ms) {
    msPerWord_ = ms;
    scheduleNext();
}

void FakeSynthesizer::scheduleNext() {
    if (msPerWord_ <= 0 || playing_ || timer_.isActive()) return;
    if (!startNext()) return;
    const int words = std::max<qsizetype>(1, current_.text.split(' ', Qt::SkipEmptyParts).size());
    timer_.start(msPerWord_ * words);
}

void FakeSynthesizer::enqueue(const SpeechRequest& request) {
    log_ << QString("[speak flags=%1] %2").arg(request.flags).arg(request.text);
    queue_ << request;
    // Events come from the event loop, as with a real voice, never from inside Speak.
    if (msPerWord_ > 0)
        QMetaObject::invokeMethod(
            this, [this] { scheduleNext(); }, Qt::QueuedConnection);
}

void FakeSynthesizer::waitUntilDone(quintptr owner, int streamNumber) {
    // A synchronous text in the fake is spoken at once, with what was queued before it; the events of
    // those texts are posted to the event loop as a real voice's would be.
    QList<SpeechRequest> done;
    const bool wasPlaying = playing_;
    if (playing_) {
        done << current_;
        playing_ = false;
        timer_.stop();
    }
    while (!queue_.isEmpty()) {
        done << queue_.takeFirst();
        if (done.back().owner == owner && done.back().streamNumber == streamNumber) break;
    }
    for (int i = 0; i < done.size(); ++i) {
        const SpeechRequest r = done[i];
        const bool started = wasPlaying && i == 0;
        QMetaObject::invokeMethod(
            this,
            [this, r, started] {
                if (!started) emit streamStarted(r.owner, r.streamNumber);
                emit streamEnded(r.owner, r.streamNumber);
            },
            Qt::QueuedConnection);
    }
    if (msPerWord_ > 0)
        QMetaObject::invokeMethod(
            this, [this] { scheduleNext(); }, Qt::QueuedConnection);
}

void FakeSynthesizer::purge(quintptr owner) {
    log_ << "[purge]";
    queue_.removeIf([owner](const SpeechRequest& r) { return r.owner == owner; });
    if (playing_ && current_.owner == owner) {
        timer_.stop();
        finishCurrent();
        scheduleNext();
    }
}

} // namespace qz
