#include "platform/speech/RecoContext.h"

#include "platform/speech/Recognizer.h"

namespace qz {

RecoContext::RecoContext(Recognizer* recognizer) : recognizer_(recognizer) {}

RecoContext::~RecoContext() {
    if (isCurrent()) recognizer_->contextDestroyed(this);
}

RecoGrammar* RecoContext::CreateGrammar(int id) {
    grammars_.push_back(std::unique_ptr<RecoGrammar>(new RecoGrammar(this, id)));
    return grammars_.back().get();
}

bool RecoContext::isCurrent() const {
    return recognizer_ && recognizer_->currentContext() == this;
}

CompiledGrammar RecoContext::listenedFor() const {
    CompiledGrammar all;
    for (const auto& g : grammars_) {
        const CompiledGrammar& c = g->compiled();
        all.phrases += c.phrases;
        if (c.dictation && !all.dictation) {
            all.dictation = true;
            all.dictationGrammarId = c.dictationGrammarId;
        }
    }
    return all;
}

void RecoContext::grammarChanged() {
    // A released context's grammars no longer reach the recogniser.
    if (isCurrent()) recognizer_->contextChanged(this);
}

} // namespace qz
