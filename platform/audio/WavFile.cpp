#include "platform/audio/WavFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <cmath>
#include <cstring>

#include "platform/audio/AudioError.h"

namespace qz {

namespace {

quint32 u32(const char* p) {
    return qFromLittleEndian<quint32>(p);
}
quint16 u16(const char* p) {
    return qFromLittleEndian<quint16>(p);
}

[[noreturn]] void fail(const QString& path, const QString& why) {
    throw AudioError(QString("%1: %2").arg(QFileInfo(path).fileName(), why));
}

} // namespace

WavData readWav(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) fail(path, "cannot open the file (" + file.errorString() + ")");
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 12 || std::memcmp(bytes.constData(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.constData() + 8, "WAVE", 4) != 0)
        fail(path, "not a WAV file");

    int format = 0, channels = 0, rate = 0, bits = 0;
    const char* data = nullptr;
    qsizetype dataSize = 0;
    qsizetype pos = 12;
    while (pos + 8 <= bytes.size()) {
        const char* chunk = bytes.constData() + pos;
        const qsizetype size = u32(chunk + 4);
        const qsizetype body = pos + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16 || body + 16 > bytes.size()) fail(path, "damaged format header");
            format = u16(chunk + 8);
            channels = u16(chunk + 10);
            rate = int(u32(chunk + 12));
            bits = u16(chunk + 22);
            if (format == 0xFFFE && size >= 26 && body + 26 <= bytes.size()) format = u16(chunk + 32);
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            data = chunk + 8;
            // Streams written without knowing their length leave the size at 0 or too large: take what is
            // there.
            dataSize = std::min<qsizetype>(size == 0 ? bytes.size() - body : size, bytes.size() - body);
            break;
        }
        pos = body + size + (size & 1);
    }
    if (!format) fail(path, "no format header");
    if (!data) fail(path, "no audio data");
    const bool isFloat = format == 3 && bits == 32;
    if (!(format == 1 && (bits == 8 || bits == 16 || bits == 24 || bits == 32)) && !isFloat)
        fail(path,
             QString("unsupported encoding (format %1, %2 bits); only PCM is read").arg(format).arg(bits));
    if (channels < 1 || channels > 32 || rate < 1000 || rate > 384000) fail(path, "damaged format header");

    const int bytesPerSample = bits / 8;
    const qsizetype frames = dataSize / (bytesPerSample * channels);
    QByteArray mono(frames * 2, Qt::Uninitialized);
    auto* out = reinterpret_cast<qint16*>(mono.data());
    for (qsizetype f = 0; f < frames; ++f) {
        double sum = 0;
        for (int c = 0; c < channels; ++c) {
            const char* s = data + (f * channels + c) * bytesPerSample;
            double v = 0;
            if (isFloat) {
                float x;
                std::memcpy(&x, s, 4);
                v = qFromLittleEndian(x) * 32767.0;
            } else if (bits == 8) {
                v = (quint8(*s) - 128) * 256.0;
            } else if (bits == 16) {
                v = qint16(u16(s));
            } else if (bits == 24) {
                v = double(qint32(quint32(quint8(s[0])) << 8 | quint32(quint8(s[1])) << 16 |
                                  quint32(quint8(s[2])) << 24) >>
                           16);
            } else {
                v = qint32(u32(s)) / 65536.0;
            }
            sum += v;
        }
        out[f] = qint16(std::clamp(std::lround(sum / channels), -32768L, 32767L));
    }
    return WavData{resample(mono, rate, 16000), rate, channels};
}

void writeWav(const QString& path, const QByteArray& samples, int sampleRate) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw AudioError(QString("Cannot write %1: %2").arg(path, file.errorString()));
    QByteArray header(44, 0);
    char* h = header.data();
    std::memcpy(h, "RIFF", 4);
    qToLittleEndian<quint32>(quint32(36 + samples.size()), h + 4);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, h + 16);
    qToLittleEndian<quint16>(1, h + 20);
    qToLittleEndian<quint16>(1, h + 22);
    qToLittleEndian<quint32>(quint32(sampleRate), h + 24);
    qToLittleEndian<quint32>(quint32(sampleRate * 2), h + 28);
    qToLittleEndian<quint16>(2, h + 32);
    qToLittleEndian<quint16>(16, h + 34);
    std::memcpy(h + 36, "data", 4);
    qToLittleEndian<quint32>(quint32(samples.size()), h + 40);
    file.write(header);
    file.write(samples);
    if (!file.commit()) throw AudioError(QString("Cannot write %1: %2").arg(path, file.errorString()));
}

QByteArray resample(const QByteArray& samples, int fromRate, int toRate) {
    if (fromRate == toRate || fromRate <= 0 || toRate <= 0) return samples;
    const auto* in = reinterpret_cast<const qint16*>(samples.constData());
    const qsizetype n = samples.size() / 2;
    if (n == 0) return {};
    const qsizetype m = qsizetype(double(n) * toRate / fromRate);
    QByteArray result(m * 2, Qt::Uninitialized);
    auto* out = reinterpret_cast<qint16*>(result.data());
    const double step = double(fromRate) / toRate;
    // Going down, average over the input span first so that high frequencies do not fold back.
    const int span = fromRate > toRate ? int(std::ceil(step)) : 1;
    for (qsizetype i = 0; i < m; ++i) {
        const double x = i * step;
        const qsizetype k = qsizetype(x);
        double v;
        if (span > 1) {
            double sum = 0;
            int count = 0;
            for (qsizetype j = k; j < std::min(n, k + span); ++j, ++count)
                sum += in[j];
            v = count ? sum / count : 0;
        } else {
            const double frac = x - k;
            const double a = in[std::min(k, n - 1)], b = in[std::min(k + 1, n - 1)];
            v = a + (b - a) * frac;
        }
        out[i] = qint16(std::clamp(std::lround(v), -32768L, 32767L));
    }
    return result;
}

} // namespace qz
