#pragma once
// Builds a command grammar the way the engine does: "TopLevelRule" -> empty word -> "ListItemsRule",
// whose phrase i carries property id i. Shared by the speech tests, the tool and the benchmark.

#include <memory>

#include <QStringList>

#include "platform/speech/RecoContext.h"
#include "platform/speech/Recognizer.h"

namespace qz::testing {

struct CommandGrammar {
    std::unique_ptr<RecoContext> context;
    RecoGrammar* grammar = nullptr;
    RecoRule* items = nullptr;
};

inline void fillItems(CommandGrammar& g, const QStringList& phrases) {
    g.items->Clear();
    for (int i = 0; i < phrases.size(); ++i)
        g.items->InitialState()->AddWordTransition(nullptr, phrases[i], " ", SGLexical, phrases[i], i, i,
                                                   1.0);
    g.grammar->Rules().Commit();
}

inline CommandGrammar setupCommandGrammar(Recognizer& recognizer, const QStringList& phrases) {
    CommandGrammar g;
    g.context = recognizer.createContext();
    g.grammar = g.context->CreateGrammar(0);
    RecoRule* top = g.grammar->Rules().Add("TopLevelRule", SRATopLevel | SRADynamic, 1);
    g.items = g.grammar->Rules().Add("ListItemsRule", SRADynamic, 2);
    RecoState* afterPrefix = top->AddState();
    top->InitialState()->AddWordTransition(afterPrefix, QString(), " ", SGLexical, QString(), 0, 0);
    afterPrefix->AddRuleTransition(nullptr, g.items, QString(), 1, 1, 1.0);
    fillItems(g, phrases);
    g.grammar->CmdSetRuleState("TopLevelRule", SGDSActive);
    return g;
}

inline std::unique_ptr<RecoContext> setupDictation(Recognizer& recognizer) {
    auto context = recognizer.createContext();
    RecoGrammar* grammar = context->CreateGrammar(1);
    grammar->DictationLoad("", 0);
    grammar->DictationSetState(SGDSActive);
    return context;
}

} // namespace qz::testing
