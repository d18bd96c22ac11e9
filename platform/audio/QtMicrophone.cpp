#include "platform/audio/QtMicrophone.h"

#include <QAudioDevice>
#include <QAudioSource>
#include <QMediaDevices>

#include <cmath>
#include <cstring>

#include "platform/audio/WavFile.h"

namespace qz {

QtMicrophone::QtMicrophone(QObject* parent) : AudioInput(parent) {}

QtMicrophone::~QtMicrophone() {
    stop();
}

bool QtMicrophone::start() {
    stop();
    const QAudioDevice device = QMediaDevices::defaultAudioInput();
    if (device.isNull()) {
        error_ = "No microphone found";
        return false;
    }
    QAudioFormat format;
    format.setSampleRate(kRecognitionSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) format = device.preferredFormat();
    if (format.sampleFormat() != QAudioFormat::Int16 && format.sampleFormat() != QAudioFormat::Float &&
        format.sampleFormat() != QAudioFormat::Int32) {
        format.setSampleFormat(QAudioFormat::Int16);
    }
    rate_ = format.sampleRate();
    channels_ = std::max(1, format.channelCount());
    sampleBytes_ = format.bytesPerSample();
    isFloat_ = format.sampleFormat() == QAudioFormat::Float;

    source_ = std::make_unique<QAudioSource>(device, format);
    source_->setBufferSize(rate_ * channels_ * sampleBytes_ / 10); // 100 ms
    device_ = source_->start();
    if (!device_ || source_->error() != QAudio::NoError) {
        error_ = QString("The microphone \"%1\" cannot be opened").arg(device.description());
        source_.reset();
        device_ = nullptr;
        return false;
    }
    error_.clear();
    connect(device_, &QIODevice::readyRead, this, &QtMicrophone::readAvailable);
    return true;
}

void QtMicrophone::stop() {
    if (source_) source_->stop();
    source_.reset();
    device_ = nullptr;
}

void QtMicrophone::readAvailable() {
    if (!device_) return;
    const QByteArray raw = device_->readAll();
    const int frameBytes = sampleBytes_ * channels_;
    const qsizetype frames = raw.size() / frameBytes;
    if (frames == 0) return;
    QByteArray mono(frames * 2, Qt::Uninitialized);
    auto* out = reinterpret_cast<qint16*>(mono.data());
    for (qsizetype f = 0; f < frames; ++f) {
        double sum = 0;
        for (int c = 0; c < channels_; ++c) {
            const char* s = raw.constData() + f * frameBytes + c * sampleBytes_;
            if (isFloat_) {
                float x;
                std::memcpy(&x, s, 4);
                sum += x * 32767.0;
            } else if (sampleBytes_ == 4) {
                qint32 x;
                std::memcpy(&x, s, 4);
                sum += x / 65536.0;
            } else {
                qint16 x;
                std::memcpy(&x, s, 2);
                sum += x;
            }
        }
        out[f] = qint16(std::clamp(std::lround(sum / channels_), -32768L, 32767L));
    }
    emit audioReady(resample(mono, rate_, kRecognitionSampleRate));
}

} // namespace qz
