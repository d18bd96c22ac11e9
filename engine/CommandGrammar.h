#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

namespace qz {

class Recognizer;
class RecoContext;
class RecoGrammar;
class RecoResult;
class RecoRule;
class RecoState;

// `RecoContext` and the grammar in force on it. The command grammar: "TopLevelRule" leads through an empty
// word into "ListItemsRule", which holds the phrase of record i with property id i. Dictation replaces it
// by the dictation grammar, beside which the phrases given to listenfor are heard whole. Every switch makes
// a new context, whose events come out of this object's signals.
class CommandGrammar : public QObject {
    Q_OBJECT
public:
    // The decoder stays quick to start and light while listening only up to this many phrases, and a
    // phrase longer than this is no command anyone says: such records stay in the list and the file but
    // are left out of the grammar (see leftOut()).
    static constexpr int kMaxPhrases = 10000;
    static constexpr int kMaxPhraseLength = 500;

    // The records the last fill left out of the grammar.
    struct LeftOut {
        int beyondCount = 0; // records after the first kMaxPhrases
        int tooLong = 0;     // phrases longer than kMaxPhraseLength
    };
    const LeftOut& leftOut() const { return leftOut_; }

    // Without a recogniser every switch throws SpeechError.
    explicit CommandGrammar(Recognizer* recognizer, QObject* parent = nullptr);
    ~CommandGrammar() override;

    // `SetupGrammar`: a new context with the command grammar, filled from `records` and active. Throws
    // when the recogniser cannot make the context or activate the rule; returns why the phrases could not
    // be committed, or "".
    QString SetupGrammar(const QStringList& records);
    // `RebuildGrammar`: refills "ListItemsRule" from `records` and commits it. A phrase the recogniser
    // refuses is skipped, not the others. Returns why the commit failed, or "" (also when no command
    // grammar is in force).
    QString RebuildGrammar(const QStringList& records);

    // A new context with the dictation grammar active. Throws when the recogniser cannot make it.
    void startDictation();
    // Switches dictation off in the grammar in force and forgets the phrases of listenfor; the caller
    // brings the command grammar back with SetupGrammar.
    void stopDictation();
    // While dictating, `phrase` is also listened for whole and arrives spelled as given. Kept until
    // stopDictation, also across a new dictation context.
    void listenfor(const QString& phrase);

    RecoContext* context() const { return context_.get(); }
    RecoGrammar* grammar() const { return grammar_; }

signals:
    // The events of the context in force.
    void Recognition(const RecoResult& result);
    void Hypothesis(const RecoResult& result);
    void FalseRecognition();

private:
    void newContext();
    void fillWholePhrasesRule();

    Recognizer* recognizer_;
    std::unique_ptr<RecoContext> context_;
    RecoGrammar* grammar_ = nullptr;
    RecoRule* itemsrule_ = nullptr;
    RecoState* afterprefix_ = nullptr;
    RecoRule* wholePhrasesRule_ = nullptr; // in the dictation grammar: the phrases heard whole
    QStringList wholePhrases_;
    LeftOut leftOut_;
};

} // namespace qz
