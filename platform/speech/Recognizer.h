#pragma once
// The shared recogniser (a role with a PocketSphinx backend and a fake): makes recognition contexts and
// listens for what the current one asks. Backends deliver results on the UI thread through
// deliverRecognition / deliverHypothesis, which route them to the current context only.

#include <memory>

#include <QObject>
#include <QPointer>
#include <QString>

#include "platform/speech/CompiledGrammar.h"
#include "platform/speech/RecoResult.h"

namespace qz {

class RecoContext;

class Recognizer : public QObject {
    Q_OBJECT
public:
    explicit Recognizer(QObject* parent = nullptr);
    ~Recognizer() override;

    // A new shared context; the previous one is released (its events stop).
    std::unique_ptr<RecoContext> createContext();
    RecoContext* currentContext() const { return current_; }
    // What the recogniser listens for now (empty when there is no current context).
    const CompiledGrammar& listening() const { return listening_; }

    // Empty while recognition works; otherwise why it does not, in words for the user
    // (e.g. "No microphone found"). The program keeps running either way.
    virtual QString status() const = 0;

    // The program's own voice is being heard (true) or has just fallen silent (false). What the microphone
    // picks up meanwhile, and in the kOwnVoiceEchoMs of audio after (the room's echo), is never decoded, so
    // the program does not take its own words for a command.
    virtual void setOwnVoiceSounding(bool sounding) { ownVoiceSounding_ = sounding; }
    bool ownVoiceSounding() const { return ownVoiceSounding_; }
    static constexpr int kOwnVoiceEchoMs = 300;

    // Strictness of rejection, 0 (accept nearly anything) to 1 (accept only clear matches).
    virtual void setStrictness(double strictness) { strictness_ = strictness; }
    double strictness() const { return strictness_; }

signals:
    void statusChanged(const QString& status);

protected:
    // Replaces what is listened for. Throws SpeechError when the backend refuses the grammar; the
    // previous grammar then stays in force.
    virtual void listen(const CompiledGrammar& grammar) = 0;

    // Call on the UI thread; results go to the current context only.
    void deliverRecognition(const RecoResult& result);
    void deliverHypothesis(const RecoResult& result);
    void deliverFalseRecognition(const RecoResult& result);

private:
    friend class RecoContext;
    void contextChanged(RecoContext* context);
    void contextDestroyed(RecoContext* context);

    RecoContext* current_ = nullptr; // the context tells us when it goes
    CompiledGrammar listening_;
    double strictness_ = 0.5;
    bool ownVoiceSounding_ = false;
    int streamNumber_ = 1;
    qint64 streamPosition_ = 0;
};

} // namespace qz
