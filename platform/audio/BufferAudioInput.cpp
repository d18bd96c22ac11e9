#include "BufferAudioInput.h"

namespace qz {

namespace {
constexpr int kChunkMs = 20;
constexpr qsizetype kChunkBytes = kRecognitionSampleRate / 1000 * kChunkMs * 2;
} // namespace

BufferAudioInput::BufferAudioInput(QByteArray samples, bool realTime, QObject* parent)
    : AudioInput(parent), samples_(std::move(samples)), realTime_(realTime) {
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &BufferAudioInput::tick);
}

bool BufferAudioInput::start() {
    offset_ = 0;
    timer_.start(realTime_ ? kChunkMs : 0);
    return true;
}

void BufferAudioInput::stop() {
    timer_.stop();
}

void BufferAudioInput::tick() {
    const qsizetype total =
        samples_.size() + qsizetype(trailingSilenceMs_) * kRecognitionSampleRate / 1000 * 2;
    if (offset_ >= total) {
        timer_.stop();
        emit finished();
        return;
    }
    QByteArray chunk = samples_.mid(offset_, kChunkBytes);
    if (chunk.size() < kChunkBytes) chunk.append(QByteArray(kChunkBytes - chunk.size(), 0));
    offset_ += kChunkBytes;
    emit audioReady(chunk);
}

} // namespace qz
