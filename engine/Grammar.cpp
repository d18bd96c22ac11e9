// The command grammar: "TopLevelRule" leads through an empty word into "ListItemsRule", which holds one
// phrase per command carrying the command's index as its property id.

#include "store/CommandRecord.h"
#include "engine/Form1.h"
#include "platform/speech/Recognizer.h"
#include "platform/speech/RecoContext.h"
#include "platform/speech/RecoGrammar.h"
#include "platform/speech/Recognizer.h"

namespace qz {

void Form1::SetupGrammar() {
    newRecoContext();
    m_grammar = m_recoContext->CreateGrammar(0);
    RecoRule* topLevel = m_grammar->Rules().Add(QStringLiteral("TopLevelRule"), SRATopLevel | SRADynamic, 1);
    m_itemsrule = m_grammar->Rules().Add(QStringLiteral("ListItemsRule"), SRADynamic, 2);
    m_afterprefix = topLevel->AddState();
    topLevel->InitialState()->AddWordTransition(m_afterprefix, QString(), QStringLiteral(" "), SGLexical,
                                                QString(), 0, 0);
    m_afterprefix->AddRuleTransition(nullptr, m_itemsrule, QString(), 1, 1, 1.0);
    RebuildGrammar();
    m_grammar->CmdSetRuleState(QStringLiteral("TopLevelRule"), SGDSActive);
}

void Form1::RebuildGrammar() {
    if (!m_itemsrule || !m_grammar)
        return;
    // Every failure is skipped: one phrase the recogniser refuses must not cost the others.
    try {
        m_itemsrule->Clear();
    } catch (const std::exception&) {
    }
    RecoState* initial = m_itemsrule->InitialState();
    const int count = m_brainlist.count();
    for (int i = 0; i < count; ++i) {
        const QString phrase = CommandRecord::field(m_brainlist.record(i), 0).value_or(QString());
        try {
            initial->AddWordTransition(nullptr, phrase, QStringLiteral(" "), SGLexical, phrase, i, i, 1.0);
        } catch (const std::exception&) {
        }
    }
    try {
        m_grammar->Rules().Commit();
    } catch (const std::exception& e) {
        m_stat->setText(QString::fromUtf8(e.what()));
    }
}

} // namespace qz
