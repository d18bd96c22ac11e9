// Dictation and capture switch the recogniser to free dictation; stopping brings the command grammar back.

#include "engine/Form1.h"
#include "engine/Log.h"

#include <QCoreApplication>

namespace qz {

void Form1::startDictationMode(QStringView mode) {
    commandGrammar_.startDictation();
    state_.setDictationMode(mode.toString());
    label1_->setText(QStringLiteral("Current: Dictating..."));
    qCDebug(lcEngine) << "dictation mode" << state_.dictationmode();
}

void Form1::Startdictation() {
    startDictationMode(kDictating);
}

void Form1::capturesentence() {
    // The sentences go to this plugin, even if a settings run loads other code meanwhile.
    captureRecord_ = pluginrecord;
    captureLoad_ = hostLoads_;
    startDictationMode(kCapturing);
}

void Form1::listenfor(const QString& phrase) {
    commandGrammar_.listenfor(phrase);
}

void Form1::Stopdictation() {
    state_.setDictationMode(QString());
    commandGrammar_.stopDictation();
    QCoreApplication::processEvents();
    SetupGrammar();
    label1_->setText(QStringLiteral("Current: Voice commands"));
    qCDebug(lcEngine) << "dictation mode" << state_.dictationmode();
}

void Form1::mnuSleep_Click() {
    state_.wake();
    showStatus();
    say(QStringLiteral("All functions now activated"));
    services_.options->setSleepEnabled(false);
}

void Form1::showStatus() {
    stat_->setText(state_.statusText());
}

} // namespace qz
