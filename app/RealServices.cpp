#include "app/RealServices.h"

#include "platform/audio/AudioInput.h"
#include "platform/audio/AudioOutput.h"
#include "platform/desktop/QProcessLauncher.h"
#include "platform/desktop/QtClipboard.h"
#include "platform/desktop/QtDocumentOpener.h"
#include "platform/desktop/XTestKeySender.h"
#include "platform/speech/EspeakSynthesizer.h"
#include "platform/speech/PocketSphinxRecognizer.h"

namespace qz {

namespace {

SphinxSettings recognitionSettings(const QString& programFolder) {
    SphinxSettings settings;
    if (!programFolder.isEmpty())
        settings.normalisationFile = programFolder + QStringLiteral("/data/normalisation.qzs");
    return settings;
}

} // namespace

struct RealServices::Parts {
    Parts(std::unique_ptr<AudioInput> microphone, std::unique_ptr<AudioOutput> speaker,
          const QString& programFolder)
        : recognizer(std::move(microphone), recognitionSettings(programFolder)),
          synthesizer(std::move(speaker)) {}

    PocketSphinxRecognizer recognizer;
    EspeakSynthesizer synthesizer;
    XTestKeySender keys;
    QtClipboard clipboard;
    QProcessLauncher launcher;
    QtDocumentOpener opener;
};

RealServices::RealServices(std::unique_ptr<AudioInput> microphone, std::unique_ptr<AudioOutput> speaker,
                           const QString& programFolder)
    : parts_(std::make_unique<Parts>(std::move(microphone), std::move(speaker), programFolder)) {}

RealServices::~RealServices() = default;

PlatformServices RealServices::services() const {
    PlatformServices s;
    s.recognizer = &parts_->recognizer;
    s.synthesizer = &parts_->synthesizer;
    s.keys = &parts_->keys;
    s.clipboard = &parts_->clipboard;
    s.launcher = &parts_->launcher;
    s.opener = &parts_->opener;
    return s;
}

} // namespace qz
