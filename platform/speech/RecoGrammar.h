#pragma once
// The command and dictation grammar object model: grammar, its rules, their states and transitions.
// Changes to rules take effect at Rules().Commit(); activation at CmdSetRuleState / DictationSetState.
// Every object is owned by its grammar, which is owned by its RecoContext; pointers stay valid as long
// as the context lives (even after Clear(), which only detaches states).

#include <deque>
#include <memory>
#include <optional>

#include <QList>
#include <QString>
#include <QVariant>

#include "platform/speech/CompiledGrammar.h"

namespace qz {

class RecoContext;
class RecoGrammar;
class RecoRule;
class RecoState;

// Rule attributes and states as the engine passes them.
enum RuleAttributes { SRATopLevel = 1, SRADynamic = 32 };
enum RuleState { SGDSInactive = 0, SGDSActive = 1 };
enum WordType { SGLexical = 1 };

struct RecoTransition {
    enum Kind { Word, Rule };
    Kind kind = Word;
    RecoState* destination = nullptr; // null: the end of the rule
    QString words;                    // Word: empty means a transition that consumes nothing
    QString separators = " ";
    int wordType = SGLexical;
    RecoRule* rule = nullptr; // Rule: the referenced rule
    QString propertyName;
    int propertyId = 0;
    QVariant propertyValue;
    double weight = 1.0;
};

class RecoState {
public:
    // Adds a path of words from this state to `destination` (null = end of rule). Throws SpeechError when
    // the destination belongs to another rule or was removed by Clear().
    void AddWordTransition(RecoState* destination, const QString& words, const QString& separators = " ",
                           int type = SGLexical, const QString& propertyName = {}, int propertyId = 0,
                           const QVariant& propertyValue = {}, double weight = 1.0);
    // Adds a reference to `rule` (same grammar); its result becomes a child of this transition's property.
    void AddRuleTransition(RecoState* destination, RecoRule* rule, const QString& propertyName = {},
                           int propertyId = 0, const QVariant& propertyValue = {}, double weight = 1.0);

    RecoRule* Rule() const { return rule_; }
    const QList<RecoTransition>& transitions() const { return transitions_; }
    bool isDetached() const { return detached_; }

private:
    friend class RecoRule;
    explicit RecoState(RecoRule* rule) : rule_(rule) {}
    RecoRule* rule_;
    QList<RecoTransition> transitions_;
    bool detached_ = false;
};

class RecoRule {
public:
    const QString& Name() const { return name_; }
    int Id() const { return id_; }
    int Attributes() const { return attributes_; }
    RecoState* InitialState() const { return states_.front().get(); }
    RecoState* AddState();
    // Removes every transition and every state but the initial one.
    void Clear();

    RecoGrammar* grammar() const { return grammar_; }
    // The states still part of the rule, the initial state first.
    QList<RecoState*> states() const;
    int stateIndex(const RecoState* state) const; // -1 when not (or no longer) part of the rule

private:
    friend class RecoRules;
    RecoRule(RecoGrammar* grammar, QString name, int attributes, int id);
    RecoGrammar* grammar_;
    QString name_;
    int attributes_;
    int id_;
    std::deque<std::unique_ptr<RecoState>> states_;
};

class RecoRules {
public:
    // Adds a rule; throws SpeechError when the name is empty or already used.
    RecoRule* Add(const QString& name, int attributes, int id = 0);
    RecoRule* Item(const QString& name) const; // null when there is none
    RecoRule* Item(int index) const;           // null when out of range
    int Count() const { return int(rules_.size()); }
    // Makes the current rule content what the recogniser listens for. Throws SpeechError when the
    // recogniser refuses the grammar; the previous content then stays in force.
    void Commit();

private:
    friend class RecoGrammar;
    explicit RecoRules(RecoGrammar* grammar) : grammar_(grammar) {}
    RecoGrammar* grammar_;
    std::deque<std::unique_ptr<RecoRule>> rules_;
};

class RecoGrammar {
public:
    int Id() const { return id_; }
    RecoRules& Rules() { return rules_; }
    const RecoRules& Rules() const { return rules_; }
    // Activates (SGDSActive) or deactivates a rule of the committed content; throws SpeechError for an
    // unknown rule name.
    void CmdSetRuleState(const QString& ruleName, int state);
    // Loads general dictation (topic "" and option 0 are the only values the engine passes).
    void DictationLoad(const QString& topic = {}, int option = 0);
    // Turns dictation on (1) or off (0); throws SpeechError when no dictation was loaded.
    void DictationSetState(int state);

    RecoContext* context() const { return context_; }
    bool isDictationLoaded() const { return dictationLoaded_; }
    bool isDictationActive() const { return dictationActive_; }
    bool isRuleActive(const QString& ruleName) const;
    // What the recogniser currently listens for from this grammar (committed and active parts only).
    const CompiledGrammar& compiled() const { return compiled_; }
    // The rules, states and transitions as text, one transition a line, for tests and diagnostics.
    QString describe() const;

private:
    friend class RecoContext;
    friend class RecoRules;
    RecoGrammar(RecoContext* context, int id);
    void recompile(bool commit);

    RecoContext* context_;
    int id_;
    RecoRules rules_;
    QList<QString> activeRules_;
    CompiledGrammar committed_; // every rule's phrases as of the last commit
    CompiledGrammar compiled_;  // the active subset
    bool dictationLoaded_ = false;
    bool dictationActive_ = false;
};

} // namespace qz
