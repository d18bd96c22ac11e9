#include "platform/speech/SphinxDecoder.h"

#include <pocketsphinx.h>
#include <sphinxbase/ckd_alloc.h>
#include <sphinxbase/cmn.h>
#include <sphinxbase/err.h>
#include <sphinxbase/feat.h>
#include <sphinxbase/fsg_model.h>

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/speech/EspeakPhonemes.h"
#include "platform/speech/SpeechError.h"

namespace qz {

namespace {

constexpr int kRate = 16000;
constexpr int kFrameMs = 10;
constexpr qint64 kDetectorSettlingMs = 1000;
const char* const kCommandSearch = "commands";
const char* const kDictationSearch = "dictation";
const char* const kPhoneSearch = "phones";

struct ConfigDeleter {
    void operator()(cmd_ln_t* c) const { cmd_ln_free_r(c); }
};
struct DecoderDeleter {
    void operator()(ps_decoder_t* d) const { ps_free(d); }
};
using Config = std::unique_ptr<cmd_ln_t, ConfigDeleter>;
using Decoder = std::unique_ptr<ps_decoder_t, DecoderDeleter>;

void silenceLibraryLog() {
    static bool done = false;
    if (!done) {
        err_set_logfp(nullptr);
        done = true;
    }
}

// Both decoders compute every senone, so that their acoustic scores are on the same footing.
Decoder makeDecoder(const SphinxSettings& s, bool phoneLoop, QString dict) {
    const QByteArray hmm = (s.modelDir + "/en-us").toUtf8();
    const QByteArray dictPath = dict.toUtf8();
    const QByteArray postSpeech = QByteArray::number(std::max(5, s.commandSilenceMs / kFrameMs));
    Config config(cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", hmm.constData(), "-dict",
                              dictPath.constData(), "-compallsen", "yes", "-vad_postspeech",
                              postSpeech.constData(), "-vad_prespeech", "20", "-beam", "1e-60", "-wbeam",
                              "1e-48", "-pbeam", "1e-60", "-maxhmmpf", "-1", "-allphone_ci",
                              phoneLoop ? "yes" : "no", "-cmn", "live", "-fsgusefiller", "no",
                              // The library adds alternative pronunciations to a grammar in time quadratic
                              // in its size; setGrammar adds them itself, as plain transitions.
                              "-fsgusealtpron", "no", nullptr));
    if (!config) return nullptr;
    return Decoder(ps_init(config.get()));
}

// The decoder's best word sequence so far; a word heard through an alternative pronunciation comes back
// from the library as "word(2)".
QString hypothesisOf(ps_decoder_t* decoder) {
    const char* hyp = ps_get_hyp(decoder, nullptr);
    QString text = hyp ? QString::fromUtf8(hyp).simplified() : QString();
    static const QRegularExpression variant(QStringLiteral("\\(\\d+\\)(?=\\s|$)"));
    text.remove(variant);
    return text;
}

cmn_t* cmnOf(ps_decoder_t* decoder) {
    feat_t* feat = ps_get_feat(decoder);
    return feat ? feat->cmn_struct : nullptr;
}

// The running cepstral mean as a vector, and set back with the weight of `frames` frames of speech.
std::vector<float> meanOf(ps_decoder_t* decoder) {
    cmn_t* cmn = cmnOf(decoder);
    return cmn ? std::vector<float>(cmn->cmn_mean, cmn->cmn_mean + cmn->veclen) : std::vector<float>{};
}
void setMean(ps_decoder_t* decoder, const std::vector<float>& mean, int frames) {
    cmn_t* cmn = cmnOf(decoder);
    if (!cmn || int(mean.size()) != cmn->veclen) return;
    for (int i = 0; i < cmn->veclen; ++i) {
        cmn->cmn_mean[i] = mean[size_t(i)];
        cmn->sum[i] = mean[size_t(i)] * float(frames);
    }
    cmn->nframe = frames;
}

// The room between utterances: level (dB of mean square sample value) and spectral tilt (energy of the
// first difference against the signal's: high for white noise, low for a rumble), each a running average
// over about 0.2 s of speech-free audio. What was heard in the last 0.3 s before the voice-activity
// detector fires is left out, as it may hold the start of the speech.
class Background {
public:
    void hear(const int16_t* samples, size_t n) {
        if (n < 2) return;
        double e = 0, diff = 0;
        for (size_t i = 0; i < n; ++i) {
            e += double(samples[i]) * samples[i];
            if (i) diff += double(samples[i] - samples[i - 1]) * (samples[i] - samples[i - 1]);
        }
        recent_.push_back({10 * std::log10(e / double(n) + 1.0), 10 * std::log10((diff + 1.0) / (e + 1.0))});
        if (recent_.size() <= kHeldBack) return;
        const Piece p = recent_.front();
        recent_.erase(recent_.begin());
        const double a = known_ ? 0.1 : 1.0; // per 20 ms piece
        levelDb_ += a * (p.level - levelDb_);
        tiltDb_ += a * (p.tilt - tiltDb_);
        known_ = true;
    }
    // The speech has begun: the pieces held back may hold its start.
    void speechStarted() { recent_.clear(); }

    bool known() const { return known_; }
    double levelDb() const { return levelDb_; }
    // A change the normalisation should follow: on the benchmark's rooms, 20 to 15 dB SNR moves the level
    // by 5 dB, pink to brown noise the tilt by more than 10 dB.
    bool differsFrom(const Background& o) const {
        return known_ && o.known_ &&
               (std::abs(levelDb_ - o.levelDb_) > 3.0 || std::abs(tiltDb_ - o.tiltDb_) > 3.0);
    }

private:
    struct Piece {
        double level, tilt;
    };
    static constexpr size_t kHeldBack = 15; // 0.3 s of 20 ms pieces
    std::vector<Piece> recent_;
    double levelDb_ = 0, tiltDb_ = 0;
    bool known_ = false;
};

// The cepstral normalisation's whole state, to start again from.
struct CmnState {
    std::vector<float> mean, sum;
    int frames = 0;
};
CmnState cmnStateOf(ps_decoder_t* decoder) {
    cmn_t* cmn = cmnOf(decoder);
    if (!cmn) return {};
    return {std::vector<float>(cmn->cmn_mean, cmn->cmn_mean + cmn->veclen),
            std::vector<float>(cmn->sum, cmn->sum + cmn->veclen), cmn->nframe};
}
void restoreCmn(ps_decoder_t* decoder, const CmnState& state) {
    cmn_t* cmn = cmnOf(decoder);
    if (!cmn || int(state.mean.size()) != cmn->veclen) return;
    std::copy(state.mean.begin(), state.mean.end(), cmn->cmn_mean);
    std::copy(state.sum.begin(), state.sum.end(), cmn->sum);
    cmn->nframe = state.frames;
}

} // namespace

struct SphinxDecoder::Impl {
    SphinxSettings settings;
    Decoder words;     // the grammar's phrases: commands, or the phrases heard whole while dictating
    Decoder phones;    // free phone loop: the yardstick for the grammar's acoustic score
    Decoder dictation; // the dictation language model, loaded at the first dictation
    CompiledGrammar grammar;
    bool hasCommands = false;               // the grammar has phrases, so `words` and `phones` run
    QHash<QString, QString> pronunciations; // words we added, and their phones

    bool started = false;      // decoders are inside an utterance
    bool speechSeen = false;   // the VAD heard speech in this utterance
    qint64 fed = 0;            // samples fed in total
    qint64 speechStart = 0;    // sample where this utterance's speech began
    qint64 lastSpeech = 0;     // last sample fed while in speech
    qint64 lastHypothesis = 0; // sample of the last hypothesis check
    // End (last sample in speech) of the last utterance that was not accepted and may have been part of a
    // sentence that goes on; -1 when there is none (the last phrase heard was accepted, or too short).
    qint64 unacceptedSpeechEnd = -1;
    QString lastHypothesisText;
    // This command utterance's audio from up to a second before its speech, for a second pass.
    std::vector<int16_t> audio;
    // Cepstral normalisation: the running mean is set by speech; the first utterance after start-up, and
    // the first after the room's noise changed, are decoded a second time with a mean that their own
    // speech has set (see README.md).
    bool meanFromSpeech = false;
    bool judgeAgain = false;
    Background background, backgroundAtLastUtterance;
    CmnState initialCmn; // the model's own estimate, as the decoders start
    uint32_t dither = 1; // state of the hiss added to the input

    bool dictating() const { return grammar.dictation; }
    bool listening() const { return dictating() || hasCommands; }
    // The decoder whose voice-activity detector cuts the stream into utterances, and whose running
    // guess is the hypothesis.
    ps_decoder_t* leading() const { return dictating() ? dictation.get() : words.get(); }

    void startUtterance() {
        if (started) return;
        if (hasCommands) {
            ps_start_utt(words.get());
            ps_start_utt(phones.get());
        }
        if (dictating()) ps_start_utt(dictation.get());
        started = true;
        speechSeen = false;
        lastHypothesisText.clear();
        audio.clear();
        judgeAgain = false;
    }

    void endDecoders() {
        if (hasCommands) {
            ps_end_utt(words.get());
            ps_end_utt(phones.get());
        }
        if (dictating()) ps_end_utt(dictation.get());
        started = false;
        speechSeen = false;
    }

    void abandonUtterance() {
        if (started) endDecoders();
    }

    static qint64 ms(qint64 samples) { return samples * 1000 / kRate; }

    QList<Event> endUtterance();
    // The grammar's phrase that the word search heard, as a Recognition or Rejection event; nothing when
    // no phrase fits.
    std::optional<Event> phraseHeard();
    void judgeAsContinuation(Event& phrase);
    // The utterance just ended was long enough, and late enough in the stream, to be part of a sentence.
    bool mayGoOn() const;
    void setPhrases(const CompiledGrammar& grammar);
    void onSpeechStart();
    void decodeAgain();
    void score(Event& event);
    double noiseLevelDb() const;
};

SphinxDecoder::SphinxDecoder(const SphinxSettings& settings) : d(std::make_unique<Impl>()) {
    silenceLibraryLog();
    d->settings = settings;
    const QString dict = settings.modelDir + "/cmudict-en-us.dict";
    for (const QString& needed : {settings.modelDir + "/en-us/mdef", dict})
        if (!QFileInfo::exists(needed))
            throw SpeechError(QString("The speech model is missing (%1); recognition is off").arg(needed));
    d->words = makeDecoder(settings, false, dict);
    // The phone loop needs no dictionary words: a tiny one keeps its loading quick.
    d->phones = makeDecoder(settings, true, dict);
    if (!d->words || !d->phones) throw SpeechError("The speech model cannot be loaded; recognition is off");
    if (ps_set_allphone(d->phones.get(), kPhoneSearch, nullptr) < 0 ||
        ps_set_search(d->phones.get(), kPhoneSearch) < 0)
        throw SpeechError("The phone loop cannot be set up; recognition is off");
    setStrictness(settings.strictness);
    d->initialCmn = cmnStateOf(d->words.get());
}

void SphinxDecoder::reset() {
    d->abandonUtterance();
    for (ps_decoder_t* decoder : {d->words.get(), d->phones.get()})
        restoreCmn(decoder, d->initialCmn);
    d->meanFromSpeech = false;
    d->unacceptedSpeechEnd = -1;
    d->background = d->backgroundAtLastUtterance = Background();
    d->dither = 1;
}

SphinxDecoder::~SphinxDecoder() = default;

void SphinxDecoder::setStrictness(double strictness) {
    d->settings.strictness = std::clamp(strictness, 0.0, 1.0);
}
double SphinxDecoder::strictness() const {
    return d->settings.strictness;
}
qint64 SphinxDecoder::positionMs() const {
    return Impl::ms(d->fed);
}

std::vector<float> SphinxDecoder::normalisation() const {
    return meanOf(d->words.get());
}

void SphinxDecoder::setNormalisation(const std::vector<float>& mean) {
    // The weight of five seconds of speech: a new room or speaker still moves it within a few commands.
    for (ps_decoder_t* decoder : {d->words.get(), d->phones.get()})
        setMean(decoder, mean, 500);
}

bool SphinxDecoder::heardSpeech() const {
    return d->meanFromSpeech;
}

QString SphinxDecoder::pronunciation(const QString& word) const {
    char* phones = ps_lookup_word(d->words.get(), word.toUtf8().constData());
    if (!phones) return {};
    QString result = QString::fromUtf8(phones);
    ckd_free(phones);
    return result;
}

void SphinxDecoder::setGrammar(const CompiledGrammar& grammar) {
    d->abandonUtterance();
    if (grammar.dictation && !d->dictation) {
        Decoder dictation = makeDecoder(d->settings, false, d->settings.modelDir + "/cmudict-en-us.dict");
        const QByteArray lm = (d->settings.modelDir + "/en-us.lm.bin").toUtf8();
        if (!dictation || ps_set_lm_file(dictation.get(), kDictationSearch, lm.constData()) < 0 ||
            ps_set_search(dictation.get(), kDictationSearch) < 0)
            throw SpeechError("The dictation language model cannot be loaded");
        d->dictation = std::move(dictation);
    }
    if (grammar.phrases.isEmpty()) {
        d->hasCommands = false;
    } else {
        d->setPhrases(grammar);
        d->hasCommands = true;
    }
    d->grammar = grammar;
}

void SphinxDecoder::Impl::setPhrases(const CompiledGrammar& grammar) {
    ps_decoder_t* ps = words.get();
    // Words missing from the dictionary are pronounced the way espeak-ng would say them; every word also
    // gets espeak-ng's British pronunciation when it differs, so that speakers without an American accent
    // are not forced onto a neighbouring phrase ("start" said without its R sounds like "stop").
    for (const CompiledPhrase& phrase : grammar.phrases) {
        for (const QString& word : phrase.words) {
            if (pronunciations.contains(word)) continue;
            const QByteArray utf8 = word.toUtf8();
            QStringList known;
            for (int alt = 1;; ++alt) {
                const QByteArray name = alt == 1 ? utf8 : utf8 + "(" + QByteArray::number(alt) + ")";
                char* phones = ps_lookup_word(ps, name.constData());
                if (!phones) break;
                known << QString::fromUtf8(phones).simplified();
                ckd_free(phones);
            }
            QStringList wanted;
            if (known.isEmpty()) wanted << espeak::ipaToModelPhones(espeak::ipaFor(word, "en-us"));
            wanted << espeak::ipaToModelPhones(espeak::ipaFor(word, "gmw/en"));
            for (const QString& phones : wanted) {
                if (phones.isEmpty() || known.contains(phones)) continue;
                const QByteArray name =
                    known.isEmpty() ? utf8 : utf8 + "(" + QByteArray::number(known.size() + 1) + ")";
                if (ps_add_word(ps, name.constData(), phones.toUtf8().constData(), FALSE) < 0) {
                    if (known.isEmpty())
                        throw SpeechError(
                            QString("The word \"%1\" cannot be added to the dictionary").arg(word));
                    continue; // the grammar lists one transition per entry, so only entries that exist count
                }
                known << phones;
            }
            if (known.isEmpty())
                throw SpeechError(QString("No pronunciation can be found for \"%1\"").arg(word));
            pronunciations.insert(word, known.join(" | "));
        }
    }
    // One chain of states per phrase between a shared start and end; every path is equally likely.
    int states = 2;
    for (const CompiledPhrase& phrase : grammar.phrases)
        states += int(phrase.words.size()) - 1;
    logmath_t* lmath = ps_get_logmath(ps);
    const float lw = cmd_ln_float32_r(ps_get_config(ps), "-lw");
    fsg_model_t* fsg = fsg_model_init(kCommandSearch, lmath, lw, states);
    fsg->start_state = 0;
    fsg->final_state = 1;
    // The library looks a word up in the grammar's vocabulary by a linear search, which makes a grammar of
    // many distinct words quadratic to build; the vocabulary is filled here through a hash instead.
    QHash<QByteArray, int> wordIds;
    auto wordId = [&](const QByteArray& name) {
        auto found = wordIds.constFind(name);
        if (found != wordIds.cend()) return *found;
        int wid;
        if (fsg->silwords || fsg->altwords) {
            wid = fsg_model_word_add(fsg, name.constData());
        } else {
            if (fsg->n_word >= fsg->n_word_alloc) {
                fsg->n_word_alloc = std::max(16, fsg->n_word_alloc * 2);
                fsg->vocab =
                    static_cast<char**>(ckd_realloc(fsg->vocab, size_t(fsg->n_word_alloc) * sizeof(char*)));
            }
            wid = fsg->n_word++;
            fsg->vocab[wid] = ckd_salloc(name.constData());
        }
        wordIds.insert(name, wid);
        return wid;
    };
    int next = 2;
    for (const CompiledPhrase& phrase : grammar.phrases) {
        int from = 0;
        for (int i = 0; i < phrase.words.size(); ++i) {
            const int to = i + 1 == phrase.words.size() ? 1 : next++;
            const QByteArray word = phrase.words[i].toUtf8();
            const int variants = int(pronunciations.value(phrase.words[i]).count(" | ")) + 1;
            for (int alt = 1; alt <= variants; ++alt) {
                const QByteArray name = alt == 1 ? word : word + "(" + QByteArray::number(alt) + ")";
                fsg_model_trans_add(fsg, from, to, 0, wordId(name));
            }
            from = to;
        }
    }
    // Silence may come before, between and after words; noise and speech fillers may not, as they would
    // soak up the parts of a sentence that do not fit a phrase.
    fsg_model_add_silence(fsg, "<sil>", -1, 0.1f);
    const int set = ps_set_fsg(ps, kCommandSearch, fsg);
    fsg_model_free(fsg); // the decoder keeps its own reference
    if (set < 0 || ps_set_search(ps, kCommandSearch) < 0)
        throw SpeechError("The recogniser refused the command grammar");
}

QList<SphinxDecoder::Event> SphinxDecoder::process(const int16_t* samples, size_t count) {
    QList<Event> events;
    if (!d->listening()) {
        d->fed += qint64(count);
        return events;
    }
    d->startUtterance();
    // In pieces of at most 20 ms so that the end of speech is noticed as a microphone would notice it.
    const size_t piece = kRate / 50;
    int16_t dithered[kRate / 50];
    for (size_t offset = 0; offset < count; offset += piece) {
        const size_t n = std::min(piece, count - offset);
        // Digital silence (a muted or virtual microphone) has no spectrum: the command searches' front end
        // goes astray on it, and the speech after it is misheard. A faint fixed hiss, far below any
        // room's, gives it one.
        for (size_t i = 0; i < n; ++i) {
            d->dither = d->dither * 1103515245u + 12345u;
            const int noise = int((d->dither >> 16) % 33) - 16;
            dithered[i] = int16_t(std::clamp(int(samples[offset + i]) + noise, -32768, 32767));
        }
        // The dictation search hears the microphone as it is: with the hiss its sentences did not come
        // through (the end-to-end dictation test typed nothing).
        if (d->dictating()) ps_process_raw(d->dictation.get(), samples + offset, n, FALSE, FALSE);
        if (d->hasCommands) {
            ps_process_raw(d->words.get(), dithered, n, FALSE, FALSE);
            ps_process_raw(d->phones.get(), dithered, n, FALSE, FALSE);
            // Up to a second before speech, kept bounded however long the silence lasts.
            auto& audio = d->audio;
            if (!d->speechSeen && audio.size() > size_t(kRate))
                audio.erase(audio.begin(), audio.end() - kRate / 2);
            audio.insert(audio.end(), dithered, dithered + n);
        }
        d->fed += qint64(n);
        const bool inSpeech = ps_get_in_speech(d->leading());
        if (!inSpeech && !d->speechSeen) d->background.hear(dithered, n);
        if (inSpeech) {
            if (!d->speechSeen) {
                d->speechSeen = true;
                d->speechStart = d->fed;
                d->lastHypothesis = d->fed;
                d->background.speechStarted();
                d->onSpeechStart();
            }
            d->lastSpeech = d->fed;
        }
        if (!d->speechSeen) continue;

        const qint64 silenceMs = Impl::ms(d->fed - d->lastSpeech);
        const qint64 lengthMs = Impl::ms(d->fed - d->speechStart);
        // The VAD already waited the command silence; dictation waits longer for the sentence to go on.
        const bool ended = !inSpeech && (!d->dictating() || silenceMs >= d->settings.dictationSilenceMs -
                                                                             d->settings.commandSilenceMs);
        if (ended || lengthMs >= d->settings.maxUtteranceMs) {
            events += d->endUtterance();
            d->startUtterance();
            continue;
        }
        if (inSpeech && Impl::ms(d->fed - d->lastHypothesis) >= d->settings.hypothesisIntervalMs) {
            d->lastHypothesis = d->fed;
            const QString text = hypothesisOf(d->leading());
            if (!text.isEmpty() && text != d->lastHypothesisText) {
                d->lastHypothesisText = text;
                Event e;
                e.kind = Event::Hypothesis;
                e.result = RecoResult(text, d->dictating() ? d->grammar.dictationGrammarId : 0);
                e.result.setAudioPositionMs(Impl::ms(d->fed));
                events << e;
            }
        }
    }
    return events;
}

bool SphinxDecoder::cancelUtterance() {
    const bool hadSpeech = d->started && d->speechSeen;
    d->abandonUtterance();
    return hadSpeech;
}

QList<SphinxDecoder::Event> SphinxDecoder::finish() {
    QList<Event> events;
    if (d->started && d->speechSeen)
        events = d->endUtterance();
    else
        d->abandonUtterance();
    return events;
}

QList<SphinxDecoder::Event> SphinxDecoder::Impl::endUtterance() {
    const bool searchedPhrases = hasCommands;
    endDecoders();
    const qint64 speechEndMs = ms(lastSpeech) - settings.commandSilenceMs / 2;
    QList<Event> events;
    std::optional<Event> phrase = searchedPhrases ? phraseHeard() : std::nullopt;
    if (phrase) phrase->speechEndMs = speechEndMs;
    // While dictating, a phrase of the grammar that is heard whole and accepted is what was said; anything
    // else is the dictation's own reading of the words.
    if (dictating() && !(phrase && phrase->kind == Event::Recognition)) {
        unacceptedSpeechEnd = -1;
        const QString text = hypothesisOf(dictation.get());
        if (text.isEmpty()) return events;
        Event e;
        e.kind = Event::Recognition;
        e.speechEndMs = speechEndMs;
        e.result = RecoResult(text, grammar.dictationGrammarId);
        e.result.setAudioPositionMs(ms(fed));
        events << e;
        return events;
    }
    if (phrase) {
        judgeAsContinuation(*phrase);
        events << *phrase;
    } else if (searchedPhrases && mayGoOn()) {
        // Speech that fits no path at all is no command either, and a sentence may go on after it.
        unacceptedSpeechEnd = lastSpeech;
    }
    return events;
}

bool SphinxDecoder::Impl::mayGoOn() const {
    // A cough before a command is too short to be part of a sentence. The voice-activity detector may
    // fire on the first audio of a stream, noise included, while it settles.
    return ms(lastSpeech - speechStart) >= settings.continuationSpeechMs &&
           ms(speechStart) >= kDetectorSettlingMs;
}

void SphinxDecoder::Impl::judgeAsContinuation(Event& phrase) {
    const bool continuation = settings.continuationGapMs > 0 && unacceptedSpeechEnd >= 0 &&
                              ms(speechStart - unacceptedSpeechEnd) < settings.continuationGapMs;
    if (continuation && phrase.kind == Event::Recognition) {
        phrase.kind = Event::Rejection;
        phrase.continuation = true;
        phrase.result.setScore(std::min(phrase.result.score(), -1.0));
    }
    unacceptedSpeechEnd = phrase.kind == Event::Rejection && (continuation || mayGoOn()) ? lastSpeech : -1;
}

std::optional<SphinxDecoder::Event> SphinxDecoder::Impl::phraseHeard() {
    QString text = hypothesisOf(words.get());
    if (text.isEmpty()) return std::nullopt; // nothing that fits the grammar was heard
    // Speech that fits no path (a click, the detector firing on the first audio) does not count.
    meanFromSpeech = true;
    backgroundAtLastUtterance = background;
    // A short memory: the next utterance is normalised mostly by the last one or two.
    for (ps_decoder_t* decoder : {words.get(), phones.get()})
        if (cmn_t* cmn = cmnOf(decoder);
            cmn && settings.normalisationMemoryFrames > 0 && cmn->nframe > settings.normalisationMemoryFrames)
            setMean(decoder, meanOf(decoder), settings.normalisationMemoryFrames);
    if (judgeAgain) {
        decodeAgain();
        text = hypothesisOf(words.get());
        if (text.isEmpty()) return std::nullopt;
    }
    const int index = grammar.find(normalizeWords(text));
    if (index < 0) return std::nullopt;
    Event e;
    e.result = grammar.resultFor(index);
    e.result.setAudioPositionMs(ms(fed));
    score(e);
    return e;
}

void SphinxDecoder::Impl::onSpeechStart() {
    if (!hasCommands || dictating()) return;
    using Pass = SphinxSettings::SecondPass;
    judgeAgain = settings.secondPass == Pass::Always ||
                 (settings.secondPass == Pass::AfterChange &&
                  (!meanFromSpeech || background.differsFrom(backgroundAtLastUtterance)));
    // The mean in force stays for this first pass; what the utterance adds to it will outweigh the past.
    if (judgeAgain)
        for (ps_decoder_t* decoder : {words.get(), phones.get()})
            setMean(decoder, meanOf(decoder), 20);
}

void SphinxDecoder::Impl::decodeAgain() {
    // Both searches run again over the same audio, one on each core, with the mean the first pass ended
    // with; afterwards the running mean is as the first pass left it, so the audio counts once.
    const std::vector<float> mean = meanOf(words.get());
    cmn_t* cmn = cmnOf(words.get());
    const int frames = cmn ? cmn->nframe : 0;
    auto run = [this](ps_decoder_t* decoder) {
        ps_start_utt(decoder);
        ps_process_raw(decoder, audio.data(), audio.size(), FALSE, FALSE);
        ps_end_utt(decoder);
    };
    std::thread loop(run, phones.get());
    run(words.get());
    loop.join();
    for (ps_decoder_t* decoder : {words.get(), phones.get()})
        setMean(decoder, mean, frames);
}

void SphinxDecoder::Impl::score(Event& e) {
    struct Segment {
        int first, last;
        double acoustic;
        bool speech; // a phone or a word, not silence or a filler
    };
    auto segmentsOf = [](ps_decoder_t* decoder, bool phoneLoop) {
        std::vector<Segment> segments;
        for (ps_seg_t* seg = ps_seg_iter(decoder); seg; seg = ps_seg_next(seg)) {
            int sf = 0, ef = 0;
            int32 ascr = 0, lscr = 0, lback = 0;
            ps_seg_frames(seg, &sf, &ef);
            ps_seg_prob(seg, &ascr, &lscr, &lback);
            const char* name = ps_seg_word(seg);
            const bool speech = name && name[0] != '<' && name[0] != '[' && name[0] != '+' &&
                                !(phoneLoop && std::string_view(name) == "SIL");
            segments.push_back({std::max(0, sf), std::max(0, ef), double(ascr), speech});
        }
        return segments;
    };
    // Each decoder counts frames from its own first audio, and the two need not have heard the same
    // stream before this utterance (dictation, for one, feeds only the word search). Within the utterance
    // both heard the same audio, so both are counted from their utterance's first frame.
    auto utteranceSegments = [&](ps_decoder_t* decoder, bool phoneLoop) {
        std::vector<Segment> segments = segmentsOf(decoder, phoneLoop);
        int first = INT_MAX;
        for (const Segment& s : segments)
            first = std::min(first, s.first);
        for (Segment& s : segments) {
            s.first -= first;
            s.last -= first;
        }
        return segments;
    };
    const std::vector<Segment> loopSegments = utteranceSegments(phones.get(), true);
    const std::vector<Segment> pathSegments = utteranceSegments(words.get(), false);
    int lastFrame = 0;
    for (const Segment& s : loopSegments)
        lastFrame = std::max(lastFrame, s.last);
    for (const Segment& s : pathSegments)
        lastFrame = std::max(lastFrame, s.last);

    // The phone loop's acoustic score per frame, each phone's spread evenly over its frames.
    std::vector<double> loop(size_t(lastFrame) + 1, 0.0);
    std::vector<char> loopHeardSpeech(loop.size(), 0);
    for (const Segment& s : loopSegments) {
        const int len = s.last - s.first + 1;
        for (int f = s.first; f <= s.last; ++f) {
            loop[size_t(f)] = s.acoustic / len;
            loopHeardSpeech[size_t(f)] = s.speech;
        }
    }

    double total = 0, worst = 1e9;
    int covered = 0, unexplained = 0;
    for (const Segment& s : pathSegments) {
        const int len = std::max(1, s.last - s.first + 1);
        double loopScore = 0;
        for (int f = s.first; f <= s.last; ++f)
            loopScore += loop[size_t(f)];
        const double diff = s.acoustic - loopScore;
        total += diff;
        covered += len;
        if (s.speech) {
            worst = std::min(worst, diff / len);
            e.wordScores.append({len, diff});
        } else {
            // Speech the grammar path passes over as silence: the rest of a sentence around a phrase.
            for (int f = s.first; f <= s.last; ++f)
                unexplained += loopHeardSpeech[size_t(f)];
        }
    }
    // Scores are in the library's log units per frame, about 0 to -150.
    e.frames = covered;
    e.utteranceScore = covered ? total / covered : -1e9;
    e.worstWordScore = worst < 1e9 ? worst : e.utteranceScore;
    e.unexplainedFrames = unexplained;
    e.noiseLevelDb = noiseLevelDb();
    // Accept when the whole utterance and its worst word come close enough to the phone loop and the
    // grammar path leaves little speech unexplained. Strictness 0..1 moves all three thresholds over the
    // range measured useful (README.md). In noise, sentences come closer to the phone loop while commands
    // keep their scores, so the utterance threshold follows the background level (measured on the
    // benchmark: from 48 dB, capped at 10 dB above it).
    const double strict = settings.strictness - 0.5;
    const double noise = std::clamp(e.noiseLevelDb - 48.0, 0.0, 10.0);
    const double utteranceThreshold = -26.0 + 0.5 * noise + strict * 20.0;
    const double wordThreshold = -70.0 + strict * 60.0;
    const double unexplainedLimit = std::max(0.0, 26.0 - strict * 30.0);
    const double score = std::min({e.utteranceScore - utteranceThreshold,
                                   (e.worstWordScore - wordThreshold) / 3.0, unexplainedLimit - unexplained});
    e.result.setScore(score);
    e.kind = score >= 0 ? Event::Recognition : Event::Rejection;
}

double SphinxDecoder::Impl::noiseLevelDb() const {
    return background.known() ? background.levelDb() : 0;
}

} // namespace qz
