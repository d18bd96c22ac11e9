#include "platform/audio/QtSpeaker.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QThread>

#include "platform/audio/WavFile.h"

namespace qz {

QtSpeaker::QtSpeaker() : silent_("No speaker found: speech is timed silently") {
    if (QMediaDevices::defaultAudioOutput().isNull()) error_ = silent_.errorString();
}

QtSpeaker::~QtSpeaker() = default;

void QtSpeaker::play(const QByteArray& samples, int sampleRate, const Progress& progress) {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        error_ = silent_.errorString();
        silent_.play(samples, sampleRate, progress);
        return;
    }
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    QByteArray pcm = samples;
    if (!device.isFormatSupported(format)) {
        // Most devices take mono 16-bit at some rate; fall back to theirs.
        format.setSampleRate(device.preferredFormat().sampleRate());
        pcm = resample(samples, sampleRate, format.sampleRate());
    }
    QAudioSink sink(device, format);
    QIODevice* io = sink.start();
    if (!io || sink.error() != QAudio::NoError) {
        error_ = QString("The speaker \"%1\" cannot be opened: speech is timed silently")
                     .arg(device.description());
        silent_.play(samples, sampleRate, progress);
        return;
    }
    error_.clear();
    const qint64 totalUs = qint64(pcm.size() / 2) * 1000000 / format.sampleRate();
    qsizetype written = 0;
    int stalled = 0;
    for (;;) {
        if (written < pcm.size()) {
            const qsizetype room = sink.bytesFree();
            if (room > 0)
                written += io->write(pcm.constData() + written, std::min(room, pcm.size() - written));
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const qint64 playedUs = std::min(sink.processedUSecs(), totalUs);
        if (progress && !progress(playedUs / 1000)) break;
        if (written >= pcm.size() && (playedUs >= totalUs || sink.state() == QAudio::IdleState)) break;
        // A sink that stops consuming (device gone) must not hang the voice for ever.
        stalled = sink.state() == QAudio::StoppedState ? stalled + 1 : 0;
        if (stalled > 100) break;
        QThread::msleep(5);
    }
    sink.stop();
}

} // namespace qz
