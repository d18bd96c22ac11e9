#pragma once
// A recogniser for engine tests: the test says a phrase and gets the events the real one would raise,
// delivered before say() returns. The grammar it was given can be read back as text.

#include <QStringList>

#include "platform/speech/Recognizer.h"

namespace qz {

class FakeRecognizer : public Recognizer {
    Q_OBJECT
public:
    using Recognizer::Recognizer;

    // Raises Hypothesis for each growing prefix of the phrase's words, then Recognition when the phrase is
    // one the current context listens for (letter case and punctuation aside) or dictation is on.
    // Returns whether it was recognised; an unknown phrase raises the hypotheses, then FalseRecognition.
    // While the program's own voice sounds nothing is heard.
    bool say(const QString& phrase);
    void hypothesize(const QString& text);

    // The texts of every phrase listened for now, in grammar order.
    QStringList activePhrases() const;
    bool isDictating() const { return listening().dictation; }
    // The current context's grammars: every rule, state and transition, one per line.
    QString describeGrammar() const;
    // How often the listened-for grammar was replaced (commit, rule state, dictation state, new context).
    int listenCount() const { return listenCount_; }

    QString status() const override { return status_; }
    void setStatus(const QString& status);
    // Makes the next grammar changes fail as a backend that refuses a grammar would.
    void setRefuseGrammars(bool refuse) { refuse_ = refuse; }

protected:
    void listen(const CompiledGrammar& grammar) override;

private:
    QString status_;
    bool refuse_ = false;
    int listenCount_ = 0;
};

} // namespace qz
