// Dictation and capture switch the recogniser to free dictation; stopping brings the command grammar back.

#include "engine/Form1.h"
#include "engine/Log.h"
#include "platform/speech/Recognizer.h"
#include "platform/speech/RecoContext.h"
#include "platform/speech/RecoGrammar.h"
#include "platform/speech/Recognizer.h"

#include <QCoreApplication>

namespace qz {

void Form1::startDictationGrammar(const QString& mode) {
    newRecoContext();
    m_grammar = m_recoContext->CreateGrammar(1);
    m_grammar->DictationLoad(QString(), 0);
    m_grammar->DictationSetState(SGDSActive);
    m_wholePhrasesRule = m_grammar->Rules().Add(QStringLiteral("WholePhrasesRule"), SRATopLevel | SRADynamic, 3);
    fillWholePhrasesRule();
    m_grammar->CmdSetRuleState(QStringLiteral("WholePhrasesRule"), SGDSActive);
    dictationmode = mode;
    m_label1->setText(QStringLiteral("Current: Dictating..."));
    qCDebug(lcEngine) << "dictation mode" << dictationmode;
}

void Form1::Startdictation() { startDictationGrammar(QStringLiteral("dictating")); }

void Form1::capturesentence() { startDictationGrammar(QStringLiteral("capturesentence")); }

void Form1::listenfor(const QString& phrase) {
    if (phrase.trimmed().isEmpty() || m_wholePhrases.contains(phrase))
        return;
    m_wholePhrases << phrase;
    if (m_wholePhrasesRule)
        fillWholePhrasesRule();
}

void Form1::fillWholePhrasesRule() {
    // Dictation reads a short phrase as whatever words its language model likes best ("stop dedication");
    // these phrases are also searched as wholes, and when one is heard it arrives spelled as given.
    m_wholePhrasesRule->Clear();
    for (int i = 0; i < m_wholePhrases.size(); ++i) {
        const QString& phrase = m_wholePhrases.at(i);
        m_wholePhrasesRule->InitialState()->AddWordTransition(nullptr, phrase, QStringLiteral(" "), SGLexical,
                                                              phrase, i, i, 1.0);
    }
    m_grammar->Rules().Commit();
}

void Form1::Stopdictation() {
    dictationmode.clear();
    m_wholePhrases.clear();
    if (m_grammar && m_grammar->isDictationLoaded())
        m_grammar->DictationSetState(SGDSInactive);
    QCoreApplication::processEvents();
    SetupGrammar();
    m_label1->setText(QStringLiteral("Current: Voice commands"));
    qCDebug(lcEngine) << "dictation mode" << dictationmode;
}

void Form1::mnuSleep_Click() {
    asleep = false;
    m_stat->setText(QStringLiteral("Not listening"));
    say(QStringLiteral("All functions now activated"));
    m_services.options->setSleepEnabled(false);
}

} // namespace qz
