// What a recognised phrase does: typed while dictating, handed to the plugin while capturing, otherwise
// the command at the recognised index acts as the dispatch's table decides for the listening state.

#include "engine/Form1.h"
#include "engine/Log.h"
#include "platform/desktop/KeySender.h"
#include "platform/speech/RecoResult.h"
#include "plugins/ScriptRunner.h"
#include "store/CommandRecord.h"

namespace qz {

void Form1::RecoContext_Recognition(const RecoResult& result) {
    // The record is the one the phrase meant when it was heard, even if a settings run that the result
    // waits for changes the list.
    const QString record =
        result.GrammarId() == 0 ? brainlist_.record(result.Properties(1).Children(0).Id()) : QString();
    if (waitForSettingsRun([this, result, record] { handleRecognition(result, record); })) return;
    handleRecognition(result, record);
}

void Form1::handleRecognition(const RecoResult& result, const QString& record) {
    const QString text = result.GetText(0, -1, true);
    services_.view->endHypothesis();
    qCDebug(lcEngine) << "recognised" << text << "grammar" << result.GrammarId() << "index"
                      << result.Properties(1).Children(0).Id();
    if (state_.isDictating()) {
        // Dictated words are text: "+" or "{" typed as themselves, never pressed as keys.
        try {
            if (services_.keys) services_.keys->typeText(text);
        } catch (const std::exception& e) {
            stat_->setText(QString::fromUtf8(e.what()));
        }
    }
    if (state_.isCapturing()) {
        capturedtext = text;
        // A settings run has loaded other code since the plugin asked for the capture: bring it back.
        if (services_.scripts && captureLoad_ != hostLoads_ && !captureRecord_.isEmpty()) {
            const QString path = services_.programFolder.pluginFile(
                CommandRecord::field(captureRecord_, 2).value_or(QString()));
            const auto code = ScriptRunner::readPluginText(path);
            // Its file gone, the sentence has nowhere to go; the code loaded now is another plugin's.
            if (!code) return;
            loadForAction(captureRecord_, *code);
            captureLoad_ = hostLoads_;
        }
        // capture is optional: a plugin without it lets the sentence go.
        if (services_.scripts && services_.scripts->hasProcedure(QStringLiteral("capture")))
            services_.scripts->Run(QStringLiteral("capture"));
        return;
    }
    if (result.GrammarId() != 0) return;

    const auto type = CommandRecord::field(record, 1);
    if (!type) return;
    auto sayField = [&](int k) {
        if (const auto text = CommandRecord::field(record, k)) say(*text);
    };

    switch (dispatchDecision(*type, state_)) {
    case CommandAction::None:
        break;
    case CommandAction::AlreadyListening:
        say(QStringLiteral("Already am sir"));
        break;
    case CommandAction::Activate:
        state_.activate();
        sayField(2);
        showStatus();
        break;
    case CommandAction::Deactivate:
        sayField(2);
        state_.deactivate();
        showStatus();
        break;
    case CommandAction::Sleep:
        sayField(2);
        state_.sleep();
        services_.options->setSleepEnabled(true);
        showStatus();
        break;
    case CommandAction::RunPlugin:
        runPluginOfRecord(record, true);
        break;
    case CommandAction::Repeat:
        if (lastpluginrecord.isEmpty())
            sayField(3);
        else
            runPluginOfRecord(lastpluginrecord, false);
        break;
    }
    qCDebug(lcEngine) << "status:" << stat_->text();
}

void Form1::RecoContext_Hypothesis(const RecoResult& result) {
    const QString guess = result.GetText(0, -1, true);
    // Row 0's reply leads the guess; without one the guess stands alone.
    const auto lead = CommandRecord::field(brainlist_.record(0), 2);
    const QString text = lead ? *lead + QStringLiteral(" [Hypothesis: ") + guess + QLatin1Char(']') : guess;
    services_.view->subititle(text);
}

void Form1::RecoContext_FalseRecognition() {
    services_.view->endHypothesis();
}

} // namespace qz
