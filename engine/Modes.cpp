// Dictation and capture switch the recogniser to free dictation; stopping brings the command grammar back.

#include "Form1.h"
#include "OptionsMenu.h"
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
    dictationmode = mode;
    m_label1->setText(QStringLiteral("Current: Dictating..."));
}

void Form1::Startdictation() { startDictationGrammar(QStringLiteral("dictating")); }

void Form1::capturesentence() { startDictationGrammar(QStringLiteral("capturesentence")); }

void Form1::Stopdictation() {
    dictationmode.clear();
    if (m_grammar && m_grammar->isDictationLoaded())
        m_grammar->DictationSetState(SGDSInactive);
    QCoreApplication::processEvents();
    SetupGrammar();
    m_label1->setText(QStringLiteral("Current: Voice commands"));
}

void Form1::mnuSleep_Click() {
    asleep = false;
    m_stat->setText(QStringLiteral("Not listening"));
    say(QStringLiteral("All functions now activated"));
    m_options->mnuSleep()->setEnabled(false);
}

} // namespace qz
