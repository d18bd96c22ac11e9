#include "platform/speech/RecoGrammar.h"

#include <functional>

#include <QHash>

#include "platform/speech/RecoContext.h"
#include "platform/speech/SpeechError.h"

namespace qz {

// ---- states and rules

void RecoState::AddWordTransition(RecoState* destination, const QString& words, const QString& separators,
                                  int type, const QString& propertyName, int propertyId,
                                  const QVariant& propertyValue, double weight) {
    if (detached_) throw SpeechError("This grammar state was cleared and can take no transitions.");
    if (destination && (destination->rule_ != rule_ || destination->detached_))
        throw SpeechError("The destination state belongs to another rule.");
    RecoTransition t;
    t.kind = RecoTransition::Word;
    t.destination = destination;
    t.words = words;
    t.separators = separators.isEmpty() ? QStringLiteral(" ") : separators;
    t.wordType = type;
    t.propertyName = propertyName;
    t.propertyId = propertyId;
    t.propertyValue = propertyValue;
    t.weight = weight;
    transitions_.append(t);
}

void RecoState::AddRuleTransition(RecoState* destination, RecoRule* rule, const QString& propertyName,
                                  int propertyId, const QVariant& propertyValue, double weight) {
    if (detached_) throw SpeechError("This grammar state was cleared and can take no transitions.");
    if (!rule || rule->grammar() != rule_->grammar())
        throw SpeechError("A rule transition needs a rule of the same grammar.");
    if (destination && (destination->rule_ != rule_ || destination->detached_))
        throw SpeechError("The destination state belongs to another rule.");
    RecoTransition t;
    t.kind = RecoTransition::Rule;
    t.destination = destination;
    t.rule = rule;
    t.propertyName = propertyName;
    t.propertyId = propertyId;
    t.propertyValue = propertyValue;
    t.weight = weight;
    transitions_.append(t);
}

RecoRule::RecoRule(RecoGrammar* grammar, QString name, int attributes, int id)
    : grammar_(grammar), name_(std::move(name)), attributes_(attributes), id_(id) {
    states_.push_back(std::unique_ptr<RecoState>(new RecoState(this)));
}

RecoState* RecoRule::AddState() {
    states_.push_back(std::unique_ptr<RecoState>(new RecoState(this)));
    return states_.back().get();
}

void RecoRule::Clear() {
    // States are detached rather than deleted so that a handle the caller kept never dangles.
    for (auto& s : states_) {
        s->transitions_.clear();
        if (s.get() != InitialState()) s->detached_ = true;
    }
}

QList<RecoState*> RecoRule::states() const {
    QList<RecoState*> out;
    for (const auto& s : states_)
        if (!s->detached_) out << s.get();
    return out;
}

int RecoRule::stateIndex(const RecoState* state) const {
    return int(states().indexOf(state));
}

RecoRule* RecoRules::Add(const QString& name, int attributes, int id) {
    if (name.isEmpty()) throw SpeechError("A grammar rule needs a name.");
    if (Item(name)) throw SpeechError(QString("The grammar already has a rule named \"%1\".").arg(name));
    rules_.push_back(std::unique_ptr<RecoRule>(new RecoRule(grammar_, name, attributes, id)));
    return rules_.back().get();
}

RecoRule* RecoRules::Item(const QString& name) const {
    for (const auto& r : rules_)
        if (r->Name() == name) return r.get();
    return nullptr;
}

RecoRule* RecoRules::Item(int index) const {
    return index >= 0 && index < int(rules_.size()) ? rules_[index].get() : nullptr;
}

void RecoRules::Commit() {
    grammar_->recompile(true);
}

// ---- flattening

namespace {

struct Path {
    QStringList text;
    QStringList words;
    QList<PhraseProperty> properties;
};

class Flattener {
public:
    explicit Flattener(qsizetype maxPhrases) : maxPhrases_(maxPhrases) {}

    QList<Path> rule(const RecoRule* r, int depth) {
        if (depth > 16 || onStack_.contains(r)) return {}; // a rule that refers to itself is not expanded
        // A rule of words only expands the same wherever it is used; a long list is referenced from the
        // top-level rule and flattened on its own too, so it is worth doing once.
        const bool leaf = isLeaf(r);
        if (leaf) {
            auto cached = leaves_.constFind(r);
            if (cached != leaves_.cend()) return *cached;
        }
        onStack_.append(r);
        QList<Path> out;
        walk(r->InitialState(), Path{}, 0, depth, out);
        onStack_.removeLast();
        if (leaf) leaves_.insert(r, out);
        return out;
    }

private:
    void walk(const RecoState* s, const Path& sofar, int length, int depth, QList<Path>& out) {
        if (length > kMaxPathLength) return;
        for (const RecoTransition& t : s->transitions()) {
            if (out.size() >= maxPhrases_) return;
            QList<Path> steps;
            if (t.kind == RecoTransition::Word) {
                QString shown = t.words;
                for (QChar c : t.separators)
                    shown.replace(c, ' ');
                Path p;
                p.text = shown.split(' ', Qt::SkipEmptyParts);
                p.words = normalizeWords(t.words, t.separators);
                p.properties << PhraseProperty(t.propertyName, t.propertyId, t.propertyValue);
                steps << std::move(p);
            } else {
                const QList<Path> subs = rule(t.rule, depth + 1);
                steps.reserve(subs.size());
                for (const Path& sub : subs)
                    steps << Path{
                        sub.text,
                        sub.words,
                        {PhraseProperty(t.propertyName, t.propertyId, t.propertyValue, sub.properties)}};
            }
            for (const Path& step : steps) {
                Path next = sofar;
                next.text += step.text;
                next.words += step.words;
                next.properties += step.properties;
                if (!t.destination) {
                    if (out.size() < maxPhrases_) out << std::move(next);
                } else {
                    walk(t.destination, next, length + 1, depth, out);
                }
            }
        }
    }

    static bool isLeaf(const RecoRule* r) {
        for (const RecoState* state : r->states())
            for (const RecoTransition& t : state->transitions())
                if (t.kind != RecoTransition::Word) return false;
        return true;
    }

    qsizetype maxPhrases_;
    QList<const RecoRule*> onStack_;
    QHash<const RecoRule*, QList<Path>> leaves_;
};

} // namespace

RecoGrammar::RecoGrammar(RecoContext* context, int id) : context_(context), id_(id), rules_(this) {}

void RecoGrammar::recompile(bool commit) {
    CompiledGrammar committed = committed_;
    if (commit) {
        committed.phrases.clear();
        qsizetype transitions = 0;
        for (int i = 0; i < rules_.Count(); ++i)
            for (const RecoState* state : rules_.Item(i)->states())
                transitions += state->transitions().size();
        Flattener flattener(kMaxExpandedPhrases + transitions);
        for (int i = 0; i < rules_.Count(); ++i) {
            const RecoRule* r = rules_.Item(i);
            for (const Path& p : flattener.rule(r, 0)) {
                if (p.words.isEmpty()) continue; // silence is not a phrase
                committed.phrases << CompiledPhrase{id_, r->Name(), p.text.join(' '), p.words, p.properties};
            }
        }
    }
    CompiledGrammar active;
    for (const CompiledPhrase& p : committed.phrases)
        if (activeRules_.contains(p.ruleName)) active.phrases << p;
    active.dictation = dictationLoaded_ && dictationActive_;
    active.dictationGrammarId = id_;

    const CompiledGrammar previousCommitted = committed_, previousActive = compiled_;
    committed_ = committed;
    compiled_ = active;
    if (previousActive == compiled_) return;
    try {
        if (context_) context_->grammarChanged();
    } catch (...) {
        committed_ = previousCommitted;
        compiled_ = previousActive;
        throw;
    }
}

void RecoGrammar::CmdSetRuleState(const QString& ruleName, int state) {
    if (!rules_.Item(ruleName))
        throw SpeechError(QString("The grammar has no rule named \"%1\".").arg(ruleName));
    const QList<QString> before = activeRules_;
    activeRules_.removeAll(ruleName);
    if (state != SGDSInactive) activeRules_.append(ruleName);
    try {
        recompile(false);
    } catch (...) {
        activeRules_ = before;
        throw;
    }
}

void RecoGrammar::DictationLoad(const QString&, int) {
    dictationLoaded_ = true;
}

void RecoGrammar::DictationSetState(int state) {
    if (!dictationLoaded_ && state != SGDSInactive)
        throw SpeechError("Dictation was not loaded for this grammar.");
    const bool before = dictationActive_;
    dictationActive_ = state != SGDSInactive;
    try {
        recompile(false);
    } catch (...) {
        dictationActive_ = before;
        throw;
    }
}

bool RecoGrammar::isRuleActive(const QString& ruleName) const {
    return activeRules_.contains(ruleName);
}

QString RecoGrammar::describe() const {
    auto prop = [](const RecoTransition& t) {
        return QString("prop(\"%1\",%2,%3)")
            .arg(t.propertyName)
            .arg(t.propertyId)
            .arg(t.propertyValue.toString());
    };
    QStringList lines;
    lines << QString("grammar %1%2")
                 .arg(id_)
                 .arg(dictationActive_   ? " dictation"
                      : dictationLoaded_ ? " dictation-loaded"
                                         : "");
    for (int i = 0; i < rules_.Count(); ++i) {
        const RecoRule* r = rules_.Item(i);
        lines << QString("rule \"%1\" id=%2 attrs=%3%4")
                     .arg(r->Name())
                     .arg(r->Id())
                     .arg(r->Attributes())
                     .arg(isRuleActive(r->Name()) ? " active" : "");
        const QList<RecoState*> states = r->states();
        for (int s = 0; s < states.size(); ++s) {
            for (const RecoTransition& t : states[s]->transitions()) {
                const QString dest = t.destination ? QString("s%1").arg(r->stateIndex(t.destination)) : "end";
                if (t.kind == RecoTransition::Word)
                    lines << QString("  s%1 -> %2 word \"%3\" type=%4 %5 w=%6")
                                 .arg(s)
                                 .arg(dest, t.words)
                                 .arg(t.wordType)
                                 .arg(prop(t))
                                 .arg(t.weight);
                else
                    lines << QString("  s%1 -> %2 rule \"%3\" %4 w=%5")
                                 .arg(s)
                                 .arg(dest, t.rule->Name(), prop(t))
                                 .arg(t.weight);
            }
        }
    }
    return lines.join('\n');
}

} // namespace qz
