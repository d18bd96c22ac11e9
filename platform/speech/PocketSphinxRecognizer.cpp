#include "PocketSphinxRecognizer.h"

#include "SpeechError.h"
#include "audio/AudioInput.h"

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
        decoder_.reset();
    }

signals:
    void event(int kind, const qz::RecoResult& result);
    void statusChanged(const QString& status);
    void ready();

private:
    void feed(const QByteArray& samples) {
        if (!decoder_) return;
        report(decoder_->process(reinterpret_cast<const int16_t*>(samples.constData()),
                                 size_t(samples.size() / 2)));
    }
    void report(const QList<SphinxDecoder::Event>& events) {
        for (const SphinxDecoder::Event& e : events)
            emit event(int(e.kind), e.result);
    }

    std::unique_ptr<AudioInput> input_;
    SphinxSettings settings_;
    std::unique_ptr<SphinxDecoder> decoder_;
    CompiledGrammar pending_;
    bool hasPending_ = false;
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
        break;
    }
}

} // namespace qz

#include "PocketSphinxRecognizer.moc"
