#include "tools/qz-recognize/GrammarCompiler.h"

#include "platform/speech/RecoContext.h"
#include "platform/speech/Recognizer.h"

namespace qz {

namespace {

class CapturingRecognizer : public Recognizer {
public:
    QString status() const override { return {}; }
    CompiledGrammar captured;

protected:
    void listen(const CompiledGrammar& grammar) override { captured = grammar; }
};

} // namespace

CompiledGrammar compileCommandGrammar(const QStringList& phrases) {
    CapturingRecognizer recognizer;
    auto context = recognizer.createContext();
    RecoGrammar* grammar = context->CreateGrammar(0);
    RecoRule* top = grammar->Rules().Add("TopLevelRule", SRATopLevel | SRADynamic, 1);
    RecoRule* items = grammar->Rules().Add("ListItemsRule", SRADynamic, 2);
    RecoState* afterPrefix = top->AddState();
    top->InitialState()->AddWordTransition(afterPrefix, QString(), " ", SGLexical, QString(), 0, 0);
    afterPrefix->AddRuleTransition(nullptr, items, QString(), 1, 1, 1.0);
    for (int i = 0; i < phrases.size(); ++i)
        items->InitialState()->AddWordTransition(nullptr, phrases[i], " ", SGLexical, phrases[i], i, i, 1.0);
    grammar->Rules().Commit();
    grammar->CmdSetRuleState("TopLevelRule", SGDSActive);
    return recognizer.captured;
}

} // namespace qz
