#include "platform/speech/PocketSphinxRecognizer.h"

#include <QFile>
#include <QSaveFile>

#include <cmath>

#include "platform/audio/AudioInput.h"
#include "platform/speech/SpeechError.h"

namespace qz {

// Lives on the recogniser's thread: owns the audio source and the decoder.
class SphinxWorker : public QObject {
    Q_OBJECT
public:
    SphinxWorker(std::unique_ptr<AudioInput> input, SphinxSettings settings)
        : input_(std::move(input)), settings_(std::move(settings)) {}

    // Returns an error message, empty when the grammar is in force (or will be once the model is loaded).
    QString setGrammar(const CompiledGrammar& grammar) {
        if (!decoder_) {
            pending_ = grammar;
            hasPending_ = true;
            return {};
        }
        try {
            decoder_->setGrammar(grammar);
            return {};
        } catch (const SpeechError& e) {
            return e.message();
        }
    }

    void setOwnVoiceSounding(bool sounding) {
        ownVoiceSounding_ = sounding;
        if (sounding) {
            // Whatever was being said is cut off by the voice and is not a command.
            if (decoder_ && decoder_->cancelUtterance()) emit event(int(SphinxDecoder::Event::Rejection), {});
        } else {
            echoSamplesToDrop_ = qint64(Recognizer::kOwnVoiceEchoMs) * kRecognitionSampleRate / 1000;
        }
    }

    void setStrictness(double strictness) {
        settings_.strictness = strictness;
        if (decoder_) decoder_->setStrictness(strictness);
    }

    void start() {
        try {
            decoder_ = std::make_unique<SphinxDecoder>(settings_);
        } catch (const SpeechError& e) {
            emit statusChanged(e.message());
            return;
        }
        loadNormalisation();
        if (hasPending_) {
            const QString error = setGrammar(pending_);
            if (!error.isEmpty()) emit statusChanged(error);
        }
        if (!input_) {
            emit statusChanged("No microphone found");
            return;
        }
        connect(input_.get(), &AudioInput::audioReady, this, &SphinxWorker::feed);
        connect(input_.get(), &AudioInput::finished, this, [this] { report(decoder_->finish()); });
        if (!input_->start()) {
            emit statusChanged(input_->errorString().isEmpty() ? "No microphone found"
                                                               : input_->errorString());
            return;
        }
        emit statusChanged(QString());
        emit ready();
    }

    void stop() {
        if (input_) input_->stop();
        input_.reset();
        saveNormalisation();
        decoder_.reset();
    }

signals:
    void event(int kind, const qz::RecoResult& result);
    void statusChanged(const QString& status);
    void ready();

private:
    void feed(const QByteArray& samples) {
        if (!decoder_ || ownVoiceSounding_) return;
        const auto* s = reinterpret_cast<const int16_t*>(samples.constData());
        qint64 count = samples.size() / 2;
        // Counted in audio rather than wall time, so the echo's tail is the same however the audio arrives.
        const qint64 dropped = std::min(count, echoSamplesToDrop_);
        echoSamplesToDrop_ -= dropped;
        if (dropped == count) return;
        report(decoder_->process(s + dropped, size_t(count - dropped)));
    }
    void report(const QList<SphinxDecoder::Event>& events) {
        for (const SphinxDecoder::Event& e : events)
            emit event(int(e.kind), e.result);
    }

    // The last run's cepstral mean, one number per line; a missing or damaged file leaves the model's own.
    void loadNormalisation() {
        QFile file(settings_.normalisationFile);
        if (settings_.normalisationFile.isEmpty() || !file.open(QIODevice::ReadOnly)) return;
        std::vector<float> mean;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (line.trimmed().isEmpty()) continue;
            bool ok = false;
            const float v = line.trimmed().toFloat(&ok);
            if (!ok || !std::isfinite(v)) return;
            mean.push_back(v);
        }
        if (mean.size() == decoder_->normalisation().size()) decoder_->setNormalisation(mean);
    }
    void saveNormalisation() {
        if (!decoder_ || settings_.normalisationFile.isEmpty() || !decoder_->heardSpeech()) return;
        QSaveFile file(settings_.normalisationFile);
        if (!file.open(QIODevice::WriteOnly)) return;
        for (float v : decoder_->normalisation())
            file.write(QByteArray::number(v, 'g', 6) + '\n');
        file.commit(); // a folder that cannot be written keeps the old estimate; nothing else depends on it
    }

    std::unique_ptr<AudioInput> input_;
    SphinxSettings settings_;
    std::unique_ptr<SphinxDecoder> decoder_;
    CompiledGrammar pending_;
    bool hasPending_ = false;
    bool ownVoiceSounding_ = false;
    qint64 echoSamplesToDrop_ = 0;
};

PocketSphinxRecognizer::PocketSphinxRecognizer(std::unique_ptr<AudioInput> input, SphinxSettings settings,
                                               QObject* parent)
    : Recognizer(parent) {
    Recognizer::setStrictness(settings.strictness);
    if (input) {
        input->setParent(nullptr);
        input->moveToThread(&thread_);
    }
    worker_ = new SphinxWorker(std::move(input), std::move(settings));
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    connect(worker_, &SphinxWorker::event, this, &PocketSphinxRecognizer::onEvent);
    connect(worker_, &SphinxWorker::statusChanged, this, &PocketSphinxRecognizer::setStatus);
    thread_.setObjectName("pocketsphinx");
    thread_.start();
    QMetaObject::invokeMethod(worker_, &SphinxWorker::start, Qt::QueuedConnection);
}

PocketSphinxRecognizer::~PocketSphinxRecognizer() {
    QMetaObject::invokeMethod(worker_, &SphinxWorker::stop, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

void PocketSphinxRecognizer::setStrictness(double strictness) {
    Recognizer::setStrictness(strictness);
    QMetaObject::invokeMethod(worker_, [w = worker_, strictness] { w->setStrictness(strictness); });
}

void PocketSphinxRecognizer::setOwnVoiceSounding(bool sounding) {
    Recognizer::setOwnVoiceSounding(sounding);
    // Queued like the audio, so it takes effect between the chunks that came before and after it.
    QMetaObject::invokeMethod(worker_, [w = worker_, sounding] { w->setOwnVoiceSounding(sounding); });
}

void PocketSphinxRecognizer::listen(const CompiledGrammar& grammar) {
    QString error;
    QMetaObject::invokeMethod(
        worker_, [&] { error = worker_->setGrammar(grammar); }, Qt::BlockingQueuedConnection);
    if (!error.isEmpty()) throw SpeechError(error);
}

void PocketSphinxRecognizer::setStatus(const QString& status) {
    if (status == status_) return;
    status_ = status;
    emit statusChanged(status_);
}

void PocketSphinxRecognizer::onEvent(int kind, const qz::RecoResult& result) {
    switch (SphinxDecoder::Event::Kind(kind)) {
    case SphinxDecoder::Event::Hypothesis:
        deliverHypothesis(result);
        break;
    case SphinxDecoder::Event::Recognition:
        deliverRecognition(result);
        break;
    case SphinxDecoder::Event::Rejection:
        emit rejected(result);
        deliverFalseRecognition(result);
        break;
    }
}

} // namespace qz

#include "PocketSphinxRecognizer.moc"
