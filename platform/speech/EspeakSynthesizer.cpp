#include "platform/speech/EspeakSynthesizer.h"

#include <espeak-ng/speak_lib.h>

#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <set>

#include <QPointer>

#include "platform/audio/AudioOutput.h"
#include "platform/speech/EspeakPhonemes.h"
#include "platform/speech/SpeechError.h"

namespace qz {

namespace {

struct Synthesised {
    QByteArray samples;
    QList<QPair<int, QString>> phonemes; // (ms into the audio, phoneme)
};

struct Collector {
    Synthesised* out;
};

int collect(short* wav, int count, espeak_EVENT* events) {
    auto* c = static_cast<Collector*>(events->user_data);
    if (wav && count > 0) c->out->samples.append(reinterpret_cast<const char*>(wav), count * 2);
    for (espeak_EVENT* e = events; e->type != espeakEVENT_LIST_TERMINATED; ++e)
        if (e->type == espeakEVENT_PHONEME)
            c->out->phonemes.append(
                {e->audio_position, QString::fromUtf8(e->id.string, qstrnlen(e->id.string, 8))});
    return 0;
}

// Call with espeak::mutex() held.
Synthesised synthesiseLocked(const QString& text, const VoiceToken& voice, int wordsPerMinute) {
    Synthesised result;
    if (text.trimmed().isEmpty()) return result;
    if (espeak_SetVoiceByName(voice.id.toUtf8().constData()) != EE_OK)
        throw SpeechError(QString("The voice \"%1\" is not installed.").arg(voice.id));
    espeak_SetParameter(espeakRATE, wordsPerMinute, 0);
    espeak_SetSynthCallback(collect);
    Collector collector{&result};
    const QByteArray utf8 = text.toUtf8();
    espeak_Synth(utf8.constData(), size_t(utf8.size() + 1), 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr,
                 &collector);
    espeak_Synchronize();
    return result;
}

// The milliseconds of the first and the last audible sample: synthesised speech begins and ends with a
// little near-silence that nobody hears.
QPair<qint64, qint64> audibleSpan(const QByteArray& samples, int sampleRate) {
    constexpr int kAudible = 64;
    const auto* s = reinterpret_cast<const int16_t*>(samples.constData());
    const qsizetype n = samples.size() / 2;
    qsizetype first = 0, last = n;
    while (first < n && std::abs(s[first]) < kAudible)
        ++first;
    while (last > first && std::abs(s[last - 1]) < kAudible)
        --last;
    if (first == n) return {0, 0};
    return {qint64(first) * 1000 / sampleRate, qint64(last) * 1000 / sampleRate};
}

QString prettyName(QString name) {
    return name.replace('_', ' ');
}

} // namespace

class EspeakWorker {
public:
    EspeakSynthesizer* owner;
    std::unique_ptr<AudioOutput> output;
    int rate = 0;
    QString error;

    std::mutex lock;
    std::condition_variable changed;
    std::deque<SpeechRequest> queue;
    SpeechRequest current;
    bool playing = false;
    bool cancelCurrent = false;
    bool stopping = false;
    QString phoneme;

    bool isPending(quintptr who, int stream) {
        if (playing && current.owner == who && current.streamNumber == stream) return true;
        for (const SpeechRequest& r : queue)
            if (r.owner == who && r.streamNumber == stream) return true;
        return false;
    }

    void post(std::function<void(EspeakSynthesizer*)> f) {
        QPointer<EspeakSynthesizer> target = owner;
        QMetaObject::invokeMethod(
            owner,
            [target, f] {
                if (target) f(target);
            },
            Qt::QueuedConnection);
    }

    void run() {
        // A sound server sets a new output up lazily, and the first stream's audio is heard most of a
        // second after the output reports it played; a moment of silence played first takes that delay
        // before anyone speaks.
        output->play(QByteArray(int(rate ? rate : 22050) / 5 * 2, 0), rate ? rate : 22050, {});
        for (;;) {
            SpeechRequest request;
            {
                std::unique_lock<std::mutex> guard(lock);
                changed.wait(guard, [this] { return stopping || !queue.empty(); });
                if (stopping) return;
                request = queue.front();
                queue.pop_front();
                current = request;
                playing = true;
                cancelCurrent = false;
            }
            Synthesised audio;
            {
                QMutexLocker espeakLock(&espeak::mutex());
                try {
                    if (rate) audio = synthesiseLocked(request.text, request.voice, espeakRATE_NORMAL);
                } catch (const SpeechError&) {
                    // An unknown voice speaks nothing but still starts and ends its stream.
                }
            }
            // The events follow the sound the user hears: the start when the output's playback position
            // reaches the first audible sample, the end when it passes the last one, so that a head's mouth
            // moves with the voice however long the output takes to start.
            const int sampleRate = rate ? rate : 22050;
            const auto [soundFromMs, soundToMs] = audibleSpan(audio.samples, sampleRate);
            bool started = false, ended = false;
            auto start = [&] {
                if (started) return;
                started = true;
                post([request](EspeakSynthesizer* s) {
                    emit s->streamStarted(request.owner, request.streamNumber);
                });
            };
            auto end = [&] {
                if (ended) return;
                ended = true;
                start();
                post([request](EspeakSynthesizer* s) {
                    emit s->streamEnded(request.owner, request.streamNumber);
                });
            };
            int next = 0;
            output->play(audio.samples, sampleRate, [&](qint64 playedMs) {
                if (playedMs >= soundFromMs) start();
                if (playedMs >= soundToMs) end();
                while (next < audio.phonemes.size() && audio.phonemes[next].first <= playedMs) {
                    const QString ph = audio.phonemes[next++].second;
                    {
                        std::lock_guard<std::mutex> guard(lock);
                        phoneme = ph;
                    }
                    post([request, ph](EspeakSynthesizer* s) {
                        emit s->phonemeStarted(request.owner, request.streamNumber, ph);
                    });
                }
                std::lock_guard<std::mutex> guard(lock);
                return !cancelCurrent && !stopping;
            });
            // Posted before the text counts as done, so a synchronous Speak finds its EndStream queued; a
            // cut-short or silent text still starts and ends its stream.
            end();
            {
                std::lock_guard<std::mutex> guard(lock);
                playing = false;
                phoneme.clear();
            }
            changed.notify_all();
        }
    }
};

EspeakSynthesizer::EspeakSynthesizer(std::unique_ptr<AudioOutput> output, QObject* parent)
    : Synthesizer(parent), worker_(std::make_shared<EspeakWorker>()) {
    qRegisterMetaType<quintptr>("quintptr");
    worker_->owner = this;
    worker_->output = std::move(output);
    if (!worker_->output) worker_->output = std::make_unique<TimedSilentOutput>();
    {
        QMutexLocker lock(&espeak::mutex());
        worker_->rate = espeak::ensureInitialised(&worker_->error);
        if (worker_->rate) {
            // The three English voices at 0, 1 and 2 are picked to sound distinct; the rest follow.
            // Tokens carry espeak-ng's voice file as their id: its language names do not all select a voice.
            for (const espeak_VOICE** v = espeak_ListVoices(nullptr); v && *v; ++v) {
                const QString file = QString::fromUtf8((*v)->identifier);
                if (file.startsWith("mb/")) continue; // MBROLA voices need a separate synthesiser
                const QString language = QString::fromUtf8((*v)->languages + 1);
                voices_ << VoiceToken{file, prettyName(QString::fromUtf8((*v)->name)), language};
            }
            auto take = [&](const QString& language) -> std::optional<VoiceToken> {
                for (int i = 0; i < voices_.size(); ++i)
                    if (voices_[i].language == language) return voices_.takeAt(i);
                return std::nullopt;
            };
            // The three English voices at 0, 1 and 2 are picked to sound distinct; the rest follow.
            QList<VoiceToken> english, variants;
            const std::optional<VoiceToken> us = take("en-us");
            if (us) {
                english << *us << VoiceToken{us->id + "+f3", us->name + ", female", us->language};
                variants << VoiceToken{us->id + "+m3", us->name + ", male 3", us->language}
                         << VoiceToken{us->id + "+f2", us->name + ", female 2", us->language};
            }
            if (auto gb = take("en-gb")) english << *gb;
            QList<VoiceToken> rest;
            for (const VoiceToken& t : voices_)
                (t.language.startsWith("en") ? english : rest) << t;
            english += variants;
            voices_ = english + rest;
        }
    }
    auto worker = worker_;
    QThread* t = QThread::create([worker] { worker->run(); });
    t->setParent(this);
    t->setObjectName("espeak-ng");
    t->start();
    threadHandle_ = t;
}

EspeakSynthesizer::~EspeakSynthesizer() {
    {
        std::lock_guard<std::mutex> guard(worker_->lock);
        worker_->stopping = true;
        worker_->queue.clear();
    }
    worker_->changed.notify_all();
    threadHandle_->wait();
}

QString EspeakSynthesizer::status() const {
    if (!worker_->error.isEmpty()) return worker_->error;
    return worker_->output->errorString();
}

void EspeakSynthesizer::enqueue(const SpeechRequest& request) {
    {
        std::lock_guard<std::mutex> guard(worker_->lock);
        worker_->queue.push_back(request);
    }
    worker_->changed.notify_all();
}

void EspeakSynthesizer::waitUntilDone(quintptr owner, int streamNumber) {
    std::unique_lock<std::mutex> guard(worker_->lock);
    worker_->changed.wait(guard,
                          [&] { return worker_->stopping || !worker_->isPending(owner, streamNumber); });
}

void EspeakSynthesizer::purge(quintptr owner) {
    {
        std::lock_guard<std::mutex> guard(worker_->lock);
        std::erase_if(worker_->queue, [owner](const SpeechRequest& r) { return r.owner == owner; });
        if (worker_->playing && worker_->current.owner == owner) worker_->cancelCurrent = true;
    }
    worker_->changed.notify_all();
}

QString EspeakSynthesizer::currentPhoneme() const {
    std::lock_guard<std::mutex> guard(worker_->lock);
    return worker_->phoneme;
}

QByteArray EspeakSynthesizer::synthesize(const QString& text, const VoiceToken& voice, int wordsPerMinute) {
    QMutexLocker lock(&espeak::mutex());
    if (!worker_->rate) throw SpeechError(worker_->error);
    return synthesiseLocked(text, voice, wordsPerMinute).samples;
}

int EspeakSynthesizer::sampleRate() const {
    return worker_->rate;
}

} // namespace qz
