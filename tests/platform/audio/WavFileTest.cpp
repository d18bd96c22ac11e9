// Reading WAV files of every common PCM layout into 16 kHz mono, and clear errors for damaged ones.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QtEndian>

#include <cmath>
#include <cstring>

#include "platform/audio/AudioError.h"
#include "platform/audio/WavFile.h"

using namespace qz;

namespace {

// A RIFF file with one fmt chunk (format tag, channels, rate, bits) and `data` as its data chunk.
QByteArray wav(int format, int channels, int rate, int bits, const QByteArray& data,
               bool extraChunk = false) {
    QByteArray fmt(16, 0);
    qToLittleEndian<quint16>(quint16(format), fmt.data());
    qToLittleEndian<quint16>(quint16(channels), fmt.data() + 2);
    qToLittleEndian<quint32>(quint32(rate), fmt.data() + 4);
    qToLittleEndian<quint32>(quint32(rate * channels * bits / 8), fmt.data() + 8);
    qToLittleEndian<quint16>(quint16(channels * bits / 8), fmt.data() + 12);
    qToLittleEndian<quint16>(quint16(bits), fmt.data() + 14);
    auto chunk = [](const char* id, const QByteArray& body) {
        QByteArray c(id, 4);
        QByteArray size(4, 0);
        qToLittleEndian<quint32>(quint32(body.size()), size.data());
        c += size + body;
        if (body.size() & 1) c += '\0';
        return c;
    };
    QByteArray body = QByteArray("WAVE") + chunk("fmt ", fmt);
    if (extraChunk) body += chunk("LIST", QByteArray("odd", 3));
    body += chunk("data", data);
    QByteArray size(4, 0);
    qToLittleEndian<quint32>(quint32(body.size()), size.data());
    return QByteArray("RIFF") + size + body;
}

// One second of a 440 Hz tone at half scale, written in the given sample layout.
QByteArray tone(int rate, int channels, int bits, bool isFloat) {
    QByteArray out;
    for (int i = 0; i < rate; ++i) {
        const double v = 0.5 * std::sin(2 * M_PI * 440 * i / rate);
        for (int c = 0; c < channels; ++c) {
            char b[4];
            if (isFloat) {
                qToLittleEndian<float>(float(v), b);
                out.append(b, 4);
            } else if (bits == 8) {
                out.append(char(quint8(128 + std::lround(v * 127))));
            } else if (bits == 16) {
                qToLittleEndian<qint16>(qint16(std::lround(v * 32767)), b);
                out.append(b, 2);
            } else if (bits == 24) {
                const qint32 x = qint32(std::lround(v * 8388607));
                out.append(char(x & 0xff)).append(char((x >> 8) & 0xff)).append(char((x >> 16) & 0xff));
            } else {
                qToLittleEndian<qint32>(qint32(std::lround(v * 2147483647.0)), b);
                out.append(b, 4);
            }
        }
    }
    return out;
}

double rms(const QByteArray& pcm) {
    const auto* s = reinterpret_cast<const qint16*>(pcm.constData());
    double sum = 0;
    for (qsizetype i = 0; i < pcm.size() / 2; ++i)
        sum += double(s[i]) * s[i];
    return std::sqrt(sum / std::max<qsizetype>(1, pcm.size() / 2));
}

QString write(QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

} // namespace

TEST(WavFile, ReadsEveryPcmLayoutAs16kMono) {
    struct Case {
        const char* name;
        int format, channels, rate, bits;
        bool extraChunk;
    } cases[] = {
        {"16-bit mono 16 kHz", 1, 1, 16000, 16, false},
        {"8-bit mono 8 kHz", 1, 1, 8000, 8, false},
        {"16-bit stereo 44.1 kHz", 1, 2, 44100, 16, true},
        {"24-bit mono 48 kHz", 1, 1, 48000, 24, false},
        {"32-bit int mono 22.05 kHz", 1, 1, 22050, 32, false},
        {"float stereo 48 kHz", 3, 2, 48000, 32, false},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = write(dir, "t.wav",
                                   wav(c.format, c.channels, c.rate, c.bits,
                                       tone(c.rate, c.channels, c.bits, c.format == 3), c.extraChunk));
        const WavData data = readWav(path);
        EXPECT_EQ(data.sourceRate, c.rate);
        EXPECT_EQ(data.sourceChannels, c.channels);
        EXPECT_NEAR(data.samples.size() / 2, 16000, 2);
        // Half-scale sine: RMS 0.5 / sqrt(2) of full scale, whatever the layout.
        EXPECT_NEAR(rms(data.samples), 0.5 / std::sqrt(2.0) * 32767, 500);
    }
}

TEST(WavFile, WriteThenReadGivesTheSamplesBack) {
    QTemporaryDir dir;
    const QByteArray samples = tone(16000, 1, 16, false);
    writeWav(dir.filePath("round.wav"), samples, 16000);
    EXPECT_EQ(readWav(dir.filePath("round.wav")).samples, samples);
}

TEST(WavFile, DamagedFilesGiveAClearError) {
    const QByteArray good = wav(1, 1, 16000, 16, tone(16000, 1, 16, false));
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* message;
    } cases[] = {
        {"empty", QByteArray(), "not a WAV file"},
        {"text", QByteArray("hello, this is not audio at all"), "not a WAV file"},
        {"cut in the header", good.left(30), "damaged format header"},
        {"no data chunk", wav(1, 1, 16000, 16, {}).left(36), "no audio data"},
        {"compressed", wav(2, 1, 16000, 4, QByteArray(100, 1)), "only PCM"},
        {"absurd rate", wav(1, 1, 7, 16, QByteArray(100, 1)), "damaged format header"},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            readWav(write(dir, "bad.wav", c.bytes));
            ADD_FAILURE() << "no error";
        } catch (const AudioError& e) {
            EXPECT_TRUE(e.message().contains("bad.wav")) << e.what();
            EXPECT_TRUE(e.message().contains(c.message)) << e.what();
        }
    }
    EXPECT_THROW(readWav(dir.filePath("missing.wav")), AudioError);
    // A file cut short in its data keeps what is there.
    EXPECT_GT(readWav(write(dir, "cut.wav", good.left(good.size() / 2))).samples.size(), 10000);
}
