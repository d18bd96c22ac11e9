#include "bench/speech/Speakers.h"

#include <QFile>
#include <QProcess>

#include <cmath>

#include "platform/audio/WavFile.h"
#include "platform/speech/EspeakSynthesizer.h"
#include "platform/speech/SpeechError.h"

namespace qz::bench {

const QList<Speaker>& tunedSpeakers() {
    static const QList<Speaker> speakers = {
        {"espeak en-us", "espeak", "en-us", 150},
        {"espeak en-us+f2", "espeak", "en-us+f2", 175},
        {"espeak en (British)", "espeak", "gmw/en", 140},
        {"espeak rp+f4", "espeak", "en-gb-x-rp+f4", 185},
        {"espeak scotland+m3", "espeak", "en-gb-scotland+m3", 160},
        {"espeak en-029", "espeak", "en-029", 170},
        {"espeak en-us+m2 long tract, room", "espeak", "en-us+m2", 150, -150, 0.92, 1.0, 30},
        {"espeak en-us+f3 high, short tract", "espeak", "en-us+f3", 165, 250, 1.08, 1.0, 0},
        {"flite rms", "flite", "rms"},
        {"flite slt, room", "flite", "slt", 0, 0, 1.0, 1.0, 45},
        {"festival kal", "festival", "kal_diphone", 0, 0, 1.0, 1.1, 0},
        {"flite kal16 low, slow, room", "flite", "kal16", 0, -200, 0.95, 0.9, 25},
    };
    return speakers;
}

const QList<Speaker>& heldOutSpeakers() {
    static const QList<Speaker> speakers = {
        {"flite awb", "flite", "awb"},
        {"festival slt (HTS)", "festival", "cmu_us_slt_arctic_hts"},
        {"festival ked", "festival", "ked_diphone"},
        {"espeak gbclan+m5", "espeak", "en-gb-x-gbclan+m5", 155},
        {"espeak gbcwmd+m7, room", "espeak", "en-gb-x-gbcwmd+m7", 165, 0, 1.0, 1.0, 40},
        {"espeak en-us+f5 short tract, slow, hall", "espeak", "en-us+f5", 150, 0, 1.12, 0.9, 65},
        {"espeak en-us+klatt3 fast", "espeak", "en-us+klatt3", 190},
        {"flite rms long tract, low, room", "flite", "rms", 0, -250, 0.9, 1.05, 35},
    };
    return speakers;
}

namespace {

void run(const QString& program, const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(10000))
        throw SpeechError(program + " is not installed (scripts/install-deps bench installs it)");
    if (!input.isEmpty()) p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw SpeechError(program + " failed: " + QString::fromUtf8(p.readAllStandardError()).trimmed());
}

} // namespace

QByteArray speak(const Speaker& s, const QString& text, EspeakSynthesizer& espeak, const QString& scratch) {
    const QString raw = scratch + "/raw.wav", out = scratch + "/out.wav";
    if (s.engine == "espeak") {
        const QByteArray pcm = espeak.synthesize(text, VoiceToken{s.voice, s.voice, "en"}, s.wordsPerMinute);
        writeWav(raw, pcm, espeak.sampleRate());
    } else if (s.engine == "flite") {
        run("flite", {"-voice", s.voice, "-t", text, "-o", raw});
    } else {
        run("text2wave", {"-eval", "(voice_" + s.voice + ")", "-o", raw}, text.toUtf8());
    }
    // Formants scale with the playback speed; pitch and tempo are then set back (and to the speaker's).
    QStringList effects;
    if (s.formant != 1.0) effects << "speed" << QString::number(s.formant);
    const double cents = s.pitchCents - 1200.0 * std::log2(s.formant);
    if (std::abs(cents) > 1) effects << "pitch" << QString::number(cents, 'f', 0);
    const double tempo = s.tempo / s.formant;
    if (std::abs(tempo - 1.0) > 0.005)
        effects << "tempo"
                << "-s" << QString::number(tempo, 'f', 3);
    if (s.reverb > 0)
        effects << "reverb" << QString::number(s.reverb) << "50"
                << "60";
    effects << "channels"
            << "1"
            << "rate"
            << "16000";
    // -D: no dither, -R: repeatable, so that a set is the same on every run.
    run("sox", QStringList{"-D", "-R", raw, "-b", "16", out} + effects);
    QByteArray pcm = readWav(out).samples;
    QFile::remove(raw);
    QFile::remove(out);
    return pcm;
}

} // namespace qz::bench
