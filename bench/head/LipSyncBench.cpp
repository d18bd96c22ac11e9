// How closely the head's mouth follows the voice the user hears: the offset between the audio reaching the
// sound server's null sink and the first mouth frame, and between the audio's end and the rest frame.
// Goal: both within 45 ms.
//
// The audio is timed on the null sink's own clock: its monitor is recorded with parec from before the
// first text, so sample n of the recording was rendered n / rate seconds after the recording's first
// sample. That first sample's moment on the monotonic clock is the earliest any read could have seen it:
// the smallest of (time of a read - samples up to its end / rate) over all reads. Mouth frames are timed
// on the same monotonic clock when the picture area moves.
//
// Texts said with the start-up voice are the tuned set; other texts with voices 0 and 2 are held out. The
// first text after start-up is reported apart: its first talk tick shows no frame, by design.
// Runs with DISPLAY and PULSE_SERVER set (run-head-bench and with-null-sink.sh start both).

#include "HeadBenchSupport.h"
#include "app/QuorzelProgram.h"
#include "engine/Form1.h"
#include "head/CharacterHead.h"
#include "head/HeadPicture.h"
#include "head/HeadWindow.h"
#include "platform/audio/QtSpeaker.h"
#include "platform/fake/FakeClipboard.h"
#include "platform/fake/FakeDocumentOpener.h"
#include "platform/fake/FakeKeySender.h"
#include "platform/fake/FakeLauncher.h"
#include "platform/fake/FakeRecognizer.h"
#include "platform/speech/EspeakSynthesizer.h"
#include "platform/speech/SpeechVoice.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qz {
namespace {

constexpr int Rate = 16000;

qint64 nowNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// parec on the null sink's monitor, read on a thread of its own so that each read is timed as it returns.
class SinkRecording {
public:
    bool start() {
        int fds[2];
        if (pipe(fds) != 0) return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        const char* args[] = {"parec",
                              "--raw",
                              "--format=s16le",
                              "--channels=1",
                              "--rate=16000",
                              "--latency-msec=5",
                              "-d",
                              "quorzel_speaker.monitor",
                              nullptr};
        const int spawned =
            posix_spawnp(&parec_, "parec", &actions, nullptr, const_cast<char**>(args), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (spawned != 0) {
            close(fds[0]);
            return false;
        }
        pipe_ = fds[0];
        reader_ = std::thread([this] { read(); });
        return true;
    }
    ~SinkRecording() {
        if (pipe_ < 0) return;
        kill(parec_, SIGTERM);
        reader_.join();
        waitpid(parec_, nullptr, 0);
        close(pipe_);
    }

    // The monotonic time of sample n.
    double sampleNs(qint64 n) const { return double(firstSampleNs_) + double(n) * 1e9 / Rate; }

    // The first and last samples louder than `threshold` at or after `from` (ns), or -1.
    std::pair<qint64, qint64> soundAfter(qint64 fromNs, int threshold = 200) const {
        std::lock_guard<std::mutex> guard(lock_);
        const qint64 start = std::max<qint64>(0, qint64(double(fromNs - firstSampleNs_) * Rate / 1e9));
        qint64 first = -1, last = -1;
        for (qint64 i = start; i < qint64(samples_.size()); ++i)
            if (std::abs(int(samples_[i])) > threshold) {
                if (first < 0) first = i;
                last = i;
            }
        return {first, last};
    }
    qint64 recorded() const {
        std::lock_guard<std::mutex> guard(lock_);
        return qint64(samples_.size());
    }

private:
    void read() {
        std::vector<qint16> chunk(80); // 5 ms
        for (;;) {
            const ssize_t got = ::read(pipe_, chunk.data(), chunk.size() * sizeof(qint16));
            const qint64 at = nowNs();
            if (got <= 0) break;
            std::lock_guard<std::mutex> guard(lock_);
            pending_.append(reinterpret_cast<const char*>(chunk.data()), got);
            const qsizetype whole = pending_.size() / 2;
            samples_.insert(samples_.end(), reinterpret_cast<const qint16*>(pending_.constData()),
                            reinterpret_cast<const qint16*>(pending_.constData()) + whole);
            pending_.remove(0, whole * 2);
            const qint64 start = at - qint64(double(samples_.size()) * 1e9 / Rate);
            firstSampleNs_ = std::min(firstSampleNs_, start);
        }
    }

    pid_t parec_ = 0;
    int pipe_ = -1;
    std::thread reader_;
    QByteArray pending_; // half a sample
    mutable std::mutex lock_;
    std::vector<qint16> samples_;
    qint64 firstSampleNs_ = std::numeric_limits<qint64>::max();
};

// The moments the picture area moved, with the frame it then showed.
class FrameLog : public QObject {
public:
    explicit FrameLog(HeadWindow& window) : window_(window) { window.animation()->installEventFilter(this); }
    struct Shown {
        qint64 ns;
        int frame;
    };
    std::vector<Shown> shown;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Move) shown.push_back({nowNs(), window_.shownFrame()});
        return false;
    }

private:
    HeadWindow& window_;
};

using bench::percentile;
using bench::PrintedMessages;

struct Offsets {
    std::vector<double> start, end;
};

void print(const char* label, const Offsets& o) {
    auto line = [](const char* what, const std::vector<double>& v) {
        double worst = 0;
        for (double x : v)
            worst = std::max(worst, std::abs(x));
        std::printf(
            "    %s: median %+.0f ms, 95th percentile %+.0f ms, worst %+.0f ms, within 45 ms: %d of %zu\n",
            what, percentile(v, 0.5), percentile(v, 0.95), worst,
            int(std::count_if(v.begin(), v.end(), [](double x) { return std::abs(x) <= 45; })), v.size());
    };
    std::printf("  %s (positive: the picture after the sound)\n", label);
    line("audio start to first mouth frame", o.start);
    line("audio end to rest frame", o.end);
}

// The whole program on the real voice (espeak-ng through Qt Multimedia into the null sink), with fakes for
// what the measurement does not need: the controller switches the head on the voice's events.
class Bench {
public:
    explicit Bench(const QString& folder) : synthesizer_(std::make_unique<QtSpeaker>()) {
        PlatformServices services;
        services.recognizer = &recognizer_;
        services.synthesizer = &synthesizer_;
        services.keys = &keys_;
        services.clipboard = &clipboard_;
        services.launcher = &launcher_;
        services.opener = &opener_;
        program_ = std::make_unique<QuorzelProgram>(folder, services, &messages_);
    }

    bool prepare() {
        if (!synthesizer_.status().isEmpty()) {
            std::printf("lip sync: FAILED: %s\n", qPrintable(synthesizer_.status()));
            return false;
        }
        program_->form().Form_Load(); // shows the current head, the Robot
        HeadWindow* window = program_->head().window();
        if (!window || !QTest::qWaitForWindowExposed(window)) return false;
        log_ = std::make_unique<FrameLog>(*window);
        return recording_.start();
    }

    bool say(const QString& text, int index, Offsets& into) {
        Form1& form = program_->form();
        float voiceNumber = float(index);
        form.setvoice(voiceNumber);
        QTest::qWait(300);
        const qint64 asked = nowNs();
        const size_t logged = log_->shown.size();
        bool ended = false;
        QObject::connect(form.voice(), &SpeechVoice::EndStream, [&ended] { ended = true; });
        form.speak(text);
        QElapsedTimer limit;
        limit.start();
        while (!ended && limit.elapsed() < 20000)
            QTest::qWait(5);
        QTest::qWait(400); // the tail of the recording
        const auto [first, last] = recording_.soundAfter(asked);
        // The first mouth frame, and the first rest frame after the last mouth frame: a blink may show
        // frame 0 between two mouth frames, and blinks go on after the speech.
        qint64 mouth = -1, rest = -1;
        for (size_t i = logged; i < log_->shown.size(); ++i) {
            const FrameLog::Shown& s = log_->shown[i];
            if (s.frame >= 11) {
                if (mouth < 0) mouth = s.ns;
                rest = -1;
            } else if (s.frame == 0 && mouth >= 0 && rest < 0) {
                rest = s.ns;
            }
        }
        if (!ended || first < 0 || mouth < 0 || rest < 0) {
            std::printf("  \"%s\": not measured (ended %d, sound %lld, mouth %lld, rest %lld)\n",
                        qPrintable(text), ended, (long long)first, (long long)mouth, (long long)rest);
            return false;
        }
        if (std::getenv("QZ_BENCH_VERBOSE"))
            std::printf("  \"%s\": start %+.0f, end %+.0f, lasting %.0f ms\n", qPrintable(text),
                        (double(mouth) - recording_.sampleNs(first)) / 1e6,
                        (double(rest) - recording_.sampleNs(last)) / 1e6, (last - first) * 1000.0 / Rate);
        into.start.push_back((double(mouth) - recording_.sampleNs(first)) / 1e6);
        into.end.push_back((double(rest) - recording_.sampleNs(last)) / 1e6);
        return true;
    }

private:
    PrintedMessages messages_;
    EspeakSynthesizer synthesizer_;
    FakeRecognizer recognizer_;
    FakeKeySender keys_;
    FakeClipboard clipboard_;
    FakeLauncher launcher_;
    FakeDocumentOpener opener_;
    std::unique_ptr<QuorzelProgram> program_;
    std::unique_ptr<FrameLog> log_;
    SinkRecording recording_;
};

} // namespace
} // namespace qz

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const qz::bench::ShippedHeads folder;
    qz::Bench bench(folder.root());
    if (!bench.prepare()) {
        std::printf("lip sync: FAILED: no head, or no recording of the null sink\n");
        return 1;
    }
    const char* tuned[] = {"I am listening",
                           "Good morning, the mail is open",
                           "It is half past three",
                           "Opening the terminal",
                           "There is nothing to repeat yet",
                           "The music is paused",
                           "Volume up",
                           "I did not catch that",
                           "Here is the weather",
                           "Goodbye for now"};
    const char* heldOut[] = {"The screen is locked", "Your calendar is empty today", "Saved",
                             "Three new messages",   "Copying the selection",        "Yes"};
    qz::Offsets first, start, held;
    bench.say("Hello", 1, first);
    for (const char* text : tuned)
        bench.say(text, 1, start);
    int i = 0;
    for (const char* text : heldOut)
        bench.say(text, (i++ % 2) * 2, held);
    std::printf("lip sync on the null sink's clock:\n");
    qz::print("first text after start-up", first);
    qz::print("the start-up voice, 10 texts", start);
    qz::print("held out: voices 0 and 2, 6 other texts", held);
    return 0;
}
