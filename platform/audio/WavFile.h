#pragma once
// Reading and writing PCM WAV files; reading converts to 16 kHz mono 16-bit.

#include <QByteArray>
#include <QString>

namespace qz {

struct WavData {
    QByteArray samples; // 16 kHz mono signed 16-bit little-endian
    int sourceRate = 0;
    int sourceChannels = 0;
};

// Reads a RIFF/WAVE file of 8/16/24/32-bit integer or 32-bit float PCM at any rate and channel count.
// Throws AudioError with a message naming the file when it is missing, damaged or not PCM.
WavData readWav(const QString& path);
// Writes 16-bit mono PCM; throws AudioError when the file cannot be written.
void writeWav(const QString& path, const QByteArray& samples, int sampleRate);
// Linear-interpolating resampler for 16-bit mono samples.
QByteArray resample(const QByteArray& samples, int fromRate, int toRate);

} // namespace qz
