// Dictation and capture switch the recogniser to free dictation; stopping brings the command grammar back.

#include "engine/Form1.h"
#include "engine/Log.h"

#include <QCoreApplication>

namespace qz {

void Form1::startDictationMode(QStringView mode) {
    m_commandGrammar.startDictation();
    m_state.setDictationMode(mode.toString());
    m_label1->setText(QStringLiteral("Current: Dictating..."));
    qCDebug(lcEngine) << "dictation mode" << m_state.dictationmode();
}

void Form1::Startdictation() { startDictationMode(kDictating); }

void Form1::capturesentence() { startDictationMode(kCapturing); }

void Form1::listenfor(const QString& phrase) { m_commandGrammar.listenfor(phrase); }

void Form1::Stopdictation() {
    m_state.setDictationMode(QString());
    m_commandGrammar.stopDictation();
    QCoreApplication::processEvents();
    SetupGrammar();
    m_label1->setText(QStringLiteral("Current: Voice commands"));
    qCDebug(lcEngine) << "dictation mode" << m_state.dictationmode();
}

void Form1::mnuSleep_Click() {
    m_state.wake();
    showStatus();
    say(QStringLiteral("All functions now activated"));
    m_services.options->setSleepEnabled(false);
}

void Form1::showStatus() { m_stat->setText(m_state.statusText()); }

} // namespace qz
