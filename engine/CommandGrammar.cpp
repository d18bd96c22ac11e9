#include "engine/CommandGrammar.h"

#include "platform/speech/RecoContext.h"
#include "platform/speech/RecoGrammar.h"
#include "platform/speech/Recognizer.h"
#include "platform/speech/SpeechError.h"
#include "store/CommandRecord.h"

#include <algorithm>

namespace qz {

CommandGrammar::CommandGrammar(Recognizer* recognizer, QObject* parent)
    : QObject(parent), recognizer_(recognizer) {}

CommandGrammar::~CommandGrammar() = default;

void CommandGrammar::newContext() {
    if (!recognizer_) throw SpeechError(QStringLiteral("Speech recognition is not available"));
    // Drop the handles into the old context before it goes.
    grammar_ = nullptr;
    itemsrule_ = nullptr;
    afterprefix_ = nullptr;
    wholePhrasesRule_ = nullptr;
    std::unique_ptr<RecoContext> next = recognizer_->createContext();
    // The old context may be delivering the very event whose handler replaces it (Stopdictation from a
    // plugin's capture): it hears nothing any more, and goes once that event has returned.
    if (context_) context_.release()->deleteLater();
    context_ = std::move(next);
    connect(context_.get(), &RecoContext::Recognition, this,
            [this](int, qint64, int, const RecoResult& result) { emit Recognition(result); });
    connect(context_.get(), &RecoContext::Hypothesis, this,
            [this](int, qint64, const RecoResult& result) { emit Hypothesis(result); });
    connect(context_.get(), &RecoContext::FalseRecognition, this,
            [this](int, qint64, const RecoResult&) { emit FalseRecognition(); });
}

QString CommandGrammar::SetupGrammar(const QStringList& records) {
    newContext();
    grammar_ = context_->CreateGrammar(0);
    RecoRule* topLevel = grammar_->Rules().Add(QStringLiteral("TopLevelRule"), SRATopLevel | SRADynamic, 1);
    itemsrule_ = grammar_->Rules().Add(QStringLiteral("ListItemsRule"), SRADynamic, 2);
    afterprefix_ = topLevel->AddState();
    topLevel->InitialState()->AddWordTransition(afterprefix_, QString(), QStringLiteral(" "), SGLexical,
                                                QString(), 0, 0);
    afterprefix_->AddRuleTransition(nullptr, itemsrule_, QString(), 1, 1, 1.0);
    const QString failure = RebuildGrammar(records);
    grammar_->CmdSetRuleState(QStringLiteral("TopLevelRule"), SGDSActive);
    return failure;
}

QString CommandGrammar::RebuildGrammar(const QStringList& records) {
    if (!itemsrule_ || !grammar_) return {};
    // Every failure is skipped: one phrase the recogniser refuses must not cost the others.
    try {
        itemsrule_->Clear();
    } catch (const std::exception&) {
    }
    RecoState* initial = itemsrule_->InitialState();
    const int count = int(records.size());
    leftOut_ = {};
    leftOut_.beyondCount = std::max(0, count - kMaxPhrases);
    for (int i = 0; i < std::min(count, kMaxPhrases); ++i) {
        const QString phrase = CommandRecord::field(records.at(i), 0).value_or(QString());
        if (phrase.size() > kMaxPhraseLength) {
            ++leftOut_.tooLong;
            continue;
        }
        try {
            initial->AddWordTransition(nullptr, phrase, QStringLiteral(" "), SGLexical, phrase, i, i, 1.0);
        } catch (const std::exception&) {
        }
    }
    try {
        grammar_->Rules().Commit();
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

void CommandGrammar::startDictation() {
    newContext();
    grammar_ = context_->CreateGrammar(1);
    grammar_->DictationLoad(QString(), 0);
    grammar_->DictationSetState(SGDSActive);
    wholePhrasesRule_ =
        grammar_->Rules().Add(QStringLiteral("WholePhrasesRule"), SRATopLevel | SRADynamic, 3);
    fillWholePhrasesRule();
    grammar_->CmdSetRuleState(QStringLiteral("WholePhrasesRule"), SGDSActive);
}

void CommandGrammar::stopDictation() {
    wholePhrases_.clear();
    if (grammar_ && grammar_->isDictationLoaded()) grammar_->DictationSetState(SGDSInactive);
}

void CommandGrammar::listenfor(const QString& phrase) {
    if (phrase.trimmed().isEmpty() || wholePhrases_.contains(phrase)) return;
    wholePhrases_ << phrase;
    if (wholePhrasesRule_) fillWholePhrasesRule();
}

void CommandGrammar::fillWholePhrasesRule() {
    // Dictation reads a short phrase as whatever words its language model likes best ("stop dedication");
    // these phrases are also searched as wholes, and when one is heard it arrives spelled as given.
    wholePhrasesRule_->Clear();
    for (int i = 0; i < wholePhrases_.size(); ++i) {
        const QString& phrase = wholePhrases_.at(i);
        wholePhrasesRule_->InitialState()->AddWordTransition(nullptr, phrase, QStringLiteral(" "), SGLexical,
                                                             phrase, i, i, 1.0);
    }
    grammar_->Rules().Commit();
}

} // namespace qz
