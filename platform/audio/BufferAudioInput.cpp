#include "platform/audio/BufferAudioInput.h"

#include <QMutexLocker>
#include <QTimer>

namespace qz {

namespace {
constexpr int kChunkMs = 20;
constexpr qsizetype kChunkBytes = kRecognitionSampleRate / 1000 * kChunkMs * 2;
} // namespace

BufferAudioInput::BufferAudioInput(QByteArray samples, bool realTime, QObject* parent)
    : AudioInput(parent), samples_(std::move(samples)), realTime_(realTime), timer_(new QTimer(this)) {
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &BufferAudioInput::tick);
}

void BufferAudioInput::setSamples(const QByteArray& samples) {
    QMutexLocker lock(&mutex_);
    samples_ = samples;
    offset_ = 0;
}

void BufferAudioInput::append(const QByteArray& samples) {
    QMutexLocker lock(&mutex_);
    samples_.append(samples);
}

bool BufferAudioInput::start() {
    {
        QMutexLocker lock(&mutex_);
        offset_ = 0;
    }
    timer_->start(realTime_ ? kChunkMs : 0);
    return true;
}

void BufferAudioInput::stop() {
    timer_->stop();
}

void BufferAudioInput::tick() {
    QByteArray chunk;
    {
        QMutexLocker lock(&mutex_);
        const qsizetype total =
            samples_.size() + qsizetype(trailingSilenceMs_) * kRecognitionSampleRate / 1000 * 2;
        if (offset_ >= total) {
            chunk.clear();
        } else {
            chunk = samples_.mid(offset_, kChunkBytes);
            offset_ += kChunkBytes;
        }
    }
    if (chunk.isNull()) {
        timer_->stop();
        emit finished();
        return;
    }
    if (chunk.size() < kChunkBytes) chunk.append(QByteArray(kChunkBytes - chunk.size(), 0));
    emit audioReady(chunk);
}

} // namespace qz
