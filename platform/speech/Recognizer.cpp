#include "platform/speech/Recognizer.h"

#include "platform/speech/RecoContext.h"

namespace qz {

Recognizer::Recognizer(QObject* parent) : QObject(parent) {
    qRegisterMetaType<qz::RecoResult>();
}

Recognizer::~Recognizer() = default;

std::unique_ptr<RecoContext> Recognizer::createContext() {
    std::unique_ptr<RecoContext> context(new RecoContext(this));
    current_ = context.get();
    ++streamNumber_;
    // The new context has no grammar yet: stop listening for the old one's phrases. Nothing to refuse here.
    try {
        listen({});
        listening_ = {};
    } catch (...) {
    }
    return context;
}

void Recognizer::contextChanged(RecoContext* context) {
    if (context != current_) return;
    const CompiledGrammar grammar = context->listenedFor();
    listen(grammar); // throws when refused; what was listened for stays
    listening_ = grammar;
}

void Recognizer::contextDestroyed(RecoContext* context) {
    if (context != current_) return;
    current_ = nullptr;
    try {
        listen({});
    } catch (...) {
    }
    listening_ = {};
}

void Recognizer::deliverRecognition(const RecoResult& result) {
    QPointer<RecoContext> context = current_;
    if (context) emit context->Recognition(streamNumber_, result.audioPositionMs(), SRTStandard, result);
}

void Recognizer::deliverHypothesis(const RecoResult& result) {
    QPointer<RecoContext> context = current_;
    if (context) emit context->Hypothesis(streamNumber_, result.audioPositionMs(), result);
}

void Recognizer::deliverFalseRecognition(const RecoResult& result) {
    QPointer<RecoContext> context = current_;
    if (context) emit context->FalseRecognition(streamNumber_, result.audioPositionMs(), result);
}

} // namespace qz
