#pragma once
// The program's recogniser: the microphone feeds a SphinxDecoder on a worker thread; results come back
// to the UI thread as events of the current context. Never throws from its constructor: a missing model
// or microphone leaves it deaf with status() saying why, and the program keeps running.

#include <memory>

#include <QThread>

#include "platform/speech/Recognizer.h"
#include "platform/speech/SphinxDecoder.h"

namespace qz {

class AudioInput;
class SphinxWorker;

class PocketSphinxRecognizer : public Recognizer {
    Q_OBJECT
public:
    // Takes the audio source (e.g. a QtMicrophone, or a BufferAudioInput in tests) and moves it to the
    // worker thread.
    explicit PocketSphinxRecognizer(std::unique_ptr<AudioInput> input, SphinxSettings settings = {},
                                    QObject* parent = nullptr);
    ~PocketSphinxRecognizer() override;

    QString status() const override { return status_; }
    void setStrictness(double strictness) override;
    void setOwnVoiceSounding(bool sounding) override;

signals:
    // A phrase that fit the grammar but was rejected as not a command, or speech that was cut off because the
    // program's own voice began (then the result is empty).
    void rejected(const qz::RecoResult& result);

protected:
    void listen(const CompiledGrammar& grammar) override;

private:
    void setStatus(const QString& status);
    void onEvent(int kind, const qz::RecoResult& result);

    QThread thread_;
    SphinxWorker* worker_ = nullptr; // lives on thread_
    QString status_;
};

} // namespace qz
