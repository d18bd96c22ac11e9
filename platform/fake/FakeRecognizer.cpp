#include "platform/fake/FakeRecognizer.h"

#include "platform/speech/RecoContext.h"
#include "platform/speech/SpeechError.h"

namespace qz {

bool FakeRecognizer::say(const QString& phrase) {
    if (ownVoiceSounding()) return false;
    const QStringList words = normalizeWords(phrase);
    for (int n = 1; n <= words.size(); ++n)
        hypothesize(words.mid(0, n).join(' '));
    const CompiledGrammar& g = listening();
    const int index = g.find(words);
    if (index >= 0) {
        deliverRecognition(g.resultFor(index));
        return true;
    }
    if (g.dictation && !words.isEmpty()) {
        deliverRecognition(RecoResult(phrase.simplified(), g.dictationGrammarId));
        return true;
    }
    if (!words.isEmpty()) deliverFalseRecognition(RecoResult(QString(), 0));
    return false;
}

void FakeRecognizer::hypothesize(const QString& text) {
    if (!listening().isEmpty()) deliverHypothesis(RecoResult(text, 0));
}

QStringList FakeRecognizer::activePhrases() const {
    QStringList out;
    for (const CompiledPhrase& p : listening().phrases)
        out << p.text;
    return out;
}

QString FakeRecognizer::describeGrammar() const {
    QStringList out;
    if (RecoContext* c = currentContext())
        for (const auto& g : c->grammars())
            out << g->describe();
    return out.join('\n');
}

void FakeRecognizer::setStatus(const QString& status) {
    if (status_ == status) return;
    status_ = status;
    emit statusChanged(status_);
}

void FakeRecognizer::listen(const CompiledGrammar& grammar) {
    if (refuse_ && !grammar.isEmpty()) throw SpeechError("The recognizer refused the grammar.");
    ++listenCount_;
}

} // namespace qz
