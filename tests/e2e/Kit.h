#pragma once
// The end-to-end kit: a real engine playing into the test sink, a recorder on the sink's monitor,
// the engine's notifications as a list, and test audio made at run time.
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/Forms.h"
#include "app/MprisService.h"
#include "core/Core.h"
#include "engine/gst/GstMediaEngine.h"
#include "core/Clock.h"
#include "core/Command.h"
#include "core/Marquee.h"
#include "core/PlaylistFile.h"
#include "core/Sequencer.h"

namespace sonavex::e2e {

// Runs the GStreamer pipeline "<head> ! filesink location=<path>" to its end.
inline bool render(const std::string& head, const std::string& path) {
  return std::system(
             ("gst-launch-1.0 -q " + head + " ! filesink location='" + path + "'").c_str()) == 0;
}

// What the sink played: stereo 16-bit frames at 44.1 kHz, interleaved.
using Recording = std::vector<std::int16_t>;
inline constexpr std::size_t kRate = 44100, kBlock = kRate / 100;
struct Span {
  std::size_t first = 0, count = 0;  // frames
};
inline double seconds(Span span) { return static_cast<double>(span.count) / kRate; }
inline double rms(const Recording& r, Span span, int channel) {  // of full scale; 0 is left
  double sum = 0;
  for (auto f = span.first; f < span.first + span.count; ++f)
    sum += std::pow(r[2 * f + channel], 2);
  return span.count == 0 ? 0 : std::sqrt(sum / span.count) / 32768;
}
// From the first to the last 10 ms block at or above `threshold` (of full scale) on either channel.
inline Span soundSpan(const Recording& r, double threshold = 0.02) {
  std::size_t first = r.size(), end = 0;
  for (std::size_t b = 0; 2 * (b + kBlock) <= r.size(); b += kBlock) {
    if (std::max(rms(r, {b, kBlock}, 0), rms(r, {b, kBlock}, 1)) < threshold) continue;
    first = std::min(first, b);
    end = b + kBlock;
  }
  return end == 0 ? Span{} : Span{first, end - first};
}
inline bool silent(const Recording& r) { return soundSpan(r, 0.001).count == 0; }
// From the zero crossings of one channel in the middle half of the span, clear of the ramps.
inline double toneFrequency(const Recording& r, Span span, int channel = 0) {
  const Span middle{span.first + span.count / 4, span.count / 2};
  int crossings = 0;
  for (auto i = 2 * middle.first + 2 + channel; i < 2 * (middle.first + middle.count); i += 2) {
    crossings += (r[i - 2] >= 0) != (r[i] >= 0) ? 1 : 0;
  }
  return middle.count == 0 ? 0 : crossings / 2.0 / seconds(middle);
}

// What the sink played, as runs of 20 ms blocks that `classify` names alike from their pitch (-1:
// none it knows). A block not loud throughout is -1 too: half silent, it would count half the
// crossings.
struct PitchRun {
  int id;
  double seconds;
};
inline std::vector<PitchRun> pitchRuns(const Recording& r, const std::function<int(double hz)>& classify) {
  std::vector<PitchRun> runs;
  for (std::size_t first = 0; 2 * (first + 2 * kBlock) <= r.size(); first += 2 * kBlock) {
    const bool loud = rms(r, {first, kBlock}, 0) >= 0.1 && rms(r, {first + kBlock, kBlock}, 0) >= 0.1;
    // toneFrequency measures the middle half of the span it is given: this block.
    const int id = loud ? classify(toneFrequency(r, {first - std::min(first, kBlock), 4 * kBlock})) : -1;
    if (!runs.empty() && runs.back().id == id) runs.back().seconds += 0.02;
    else runs.push_back({id, 0.02});
  }
  return runs;
}

// A 16-bit stereo WAV file of `r` at kRate.
inline void writeWav(const std::string& path, const Recording& r) {
  std::ofstream out(path, std::ios::binary);
  auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
  const auto bytes = static_cast<std::uint32_t>(r.size() * 2);
  out.write("RIFF", 4), u32(36 + bytes), out.write("WAVEfmt ", 8);
  u32(16), u16(1), u16(2), u32(kRate), u32(kRate * 4), u16(4), u16(16);
  out.write("data", 4), u32(bytes);
  out.write(reinterpret_cast<const char*>(r.data()), bytes);
}

// A 441 Hz sine at half of full scale that runs on across files: frames [first, first + count) of
// it as a 16-bit stereo WAV file. What plays it can be checked sample by sample (measure()).
inline constexpr double kPitch = 441;
inline void writeSinePart(const std::string& path, std::size_t first, std::size_t count) {
  Recording r;
  for (std::size_t n = first; n < first + count; ++n) {
    const auto s = static_cast<std::int16_t>(std::lround(16384 * std::sin(2 * M_PI * kPitch * n / kRate)));
    r.push_back(s), r.push_back(s);
  }
  writeWav(path, r);
}

// What the joins of a sine did to it: the longest run of near silence (two samples or more: one
// sample of it is only a zero crossing), and the largest departure
// from the sine's own recurrence x[n+1] + x[n-1] = 2 cos(w) x[n] (a step or a hole shows there),
// over the sound with its first and last 10 ms left out.
struct Joins {
  double quietMs = 0;
  double step = 0;  // of full scale
};
inline Joins measure(const Recording& r, double pitch = kPitch) {
  const Span sound = soundSpan(r);
  const std::size_t edge = kRate / 100;
  Joins joins;
  if (sound.count <= 2 * edge + 2) return joins;
  const double twoCos = 2 * std::cos(2 * M_PI * pitch / kRate);
  std::size_t quiet = 0;
  for (std::size_t f = sound.first + edge; f + 1 < sound.first + sound.count - edge; ++f) {
    const double x = r[2 * f], before = r[2 * (f - 1)], after = r[2 * (f + 1)];
    quiet = std::abs(x) < 100 ? quiet + 1 : 0;
    if (quiet >= 2) joins.quietMs = std::max(joins.quietMs, 1000.0 * static_cast<double>(quiet) / kRate);
    joins.step = std::max(joins.step, std::abs(after + before - twoCos * x) / 32768);
  }
  return joins;
}

// Runs Qt's event loop, which dispatches GLib's default context, until done() or the deadline.
inline bool runUntil(const std::function<bool()>& done, int deadlineMs = 15000) {
  QElapsedTimer clock;
  for (clock.start(); !done() && clock.elapsed() < deadlineMs; QThread::msleep(5)) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return done();
}
inline void runFor(int ms) {
  runUntil([] { return false; }, ms);
}

// The notifications in order: "new", "end", "error", and the state reported: "play", "pause",
// "stop". `broken` tells what no list shows: a notification off the program's thread, or a state
// change from a state never reported.
using Events = std::vector<std::string>;
// A stream that started, played and ended by itself.
inline const Events kPlayedThrough{"new", "play", "end", "stop"};
class RecordingListener : public MediaEngineListener {
 public:
  explicit RecordingListener(MediaEngine& engine) : engine_(engine) { engine.setListener(this); }
  ~RecordingListener() override { engine_.setListener(nullptr); }
  bool has(const std::string& kind) const { return std::ranges::count(events, kind) > 0; }

  void mp1_EndOfStream(long) override { record("end"); }
  void mp1_Error() override { record("error"); }
  void mp1_NewStream() override { record("new", kStopped); }  // each stream starts stopped
  void mp1_PlayStateChange(long oldState, long newState) override {
    if (oldState != state_) broken = "a change from a state never reported";
    record(newState == kPlaying ? "play" : newState == kPaused ? "pause" : "stop", newState);
  }

  Events events;
  std::string broken;
  // Acts on each notification as the program would, after it is recorded.
  std::function<void(const std::string& kind, long oldState, long newState)> then;

 private:
  void record(const char* kind, long state = -1) {
    if (QThread::currentThread() != QCoreApplication::instance()->thread()) broken = "off thread";
    const long old = state_;
    if (state >= 0) state_ = state;
    events.push_back(kind);
    if (then) then(kind, old, state_);
  }
  MediaEngine& engine_;
  long state_ = kStopped;
};

// The sink this process plays into; empty when no test sound server runs.
inline std::string testSink;

// A real engine playing into the test sink, a recorder on the sink's monitor and a folder for
// test files.
class EngineTest : public testing::Test {
 protected:
  void SetUp() override {
    if (testSink.empty()) GTEST_SKIP() << "no test sound server: run under scripts/with-pulse.sh";
    dir = (std::filesystem::temp_directory_path() / "sonavex-e2e.XXXXXX").string();
    ASSERT_NE(mkdtemp(dir.data()), nullptr);
    dir += "/";
    recorder = gst_parse_launch(("pulsesrc device=" + testSink + ".monitor ! audioconvert ! " +
                                 "audio/x-raw,format=S16LE,rate=44100,channels=2 ! " +
                                 "filesink buffer-mode=unbuffered location=" + dir + "sink.raw")
                                    .c_str(),
                                nullptr);
    // Until the recorder really runs, so that nothing played from now on is missed.
    gst_element_set_state(recorder, GST_STATE_PLAYING);
    ASSERT_NE(gst_element_get_state(recorder, nullptr, nullptr, 10 * GST_SECOND),
              GST_STATE_CHANGE_FAILURE);
  }
  void TearDown() override {
    EXPECT_EQ(listener.broken, "");
    if (recorder != nullptr) gst_element_set_state(recorder, GST_STATE_NULL);
    if (recorder != nullptr) gst_object_unref(recorder);
    if (!dir.empty()) std::filesystem::remove_all(dir);
  }

  // What the sink played since the last take.
  Recording take() {
    std::ifstream in(dir + "sink.raw", std::ios::binary);
    in.seekg(static_cast<std::streamoff>(taken * 2));
    Recording r(std::filesystem::file_size(dir + "sink.raw") / 4 * 2 - taken);
    in.read(reinterpret_cast<char*>(r.data()), static_cast<std::streamsize>(r.size() * 2));
    taken += r.size();
    return r;
  }

  // A sine tone at half of full scale in the format the extension names; .mid: one note, 1 s.
  std::string tone(const std::string& name, double hz = 441, double length = 0.5,
                   int channels = 2) {
    static const std::map<std::string, std::string> encoders{
        {".wav", "wavenc"},
        {".flac", "flacenc"},
        {".ogg", "vorbisenc ! oggmux"},
        {".opus", "opusenc ! oggmux"},
        {".m4a", "avenc_aac ! mp4mux"},
        {".wma", "avenc_wmav2 ! asfmux"},
        {".mp3", "lamemp3enc target=bitrate cbr=true"}};  // no length header: the hard case
    const std::string ext = std::filesystem::path(name).extension();
    if (ext == ".mid") {  // format 0, 96 ticks a quarter: piano, A4 for 192 ticks, end of track
      std::ofstream(dir + name) << std::string("MThd\0\0\0\6\0\0\0\1\0\x60MTrk\0\0\0\x10", 22)
                                << std::string(
                                       "\0\xC0\0\0\x90\x45\x64\x81\x40\x80\x45\0\0\xFF\x2F\0", 16);
    } else {
      EXPECT_TRUE(render("audiotestsrc volume=0.5 samplesperbuffer=441 num-buffers=" +
                             std::to_string(std::lround(length * 100)) +
                             " freq=" + std::to_string(hz) +
                             " ! audio/x-raw,rate=44100,channels=" + std::to_string(channels) +
                             " ! audioconvert ! audioresample ! " + encoders.at(ext),
                         dir + name));
    }
    return dir + name;
  }

  // Plays path until its stream ends or fails; returns what the sink played. `events` and
  // `maxDuration` are then this stream's.
  Recording play(const std::string& path, int deadlineMs = 15000) {
    listener.events.clear();
    take();
    maxDuration = 0;
    engine.open(path);
    EXPECT_TRUE(runUntil([&] {
      if (listener.has("stop") || listener.has("error")) return true;
      maxDuration = std::max(maxDuration, engine.duration());
      return false;
    }, deadlineMs)) << "the stream never ended";
    settle();
    return take();
  }

  // Runs the loop until 200 ms more are recorded: what the sink has played by now is then in.
  void settle() {
    const auto now = std::filesystem::file_size(dir + "sink.raw");
    runUntil([&] { return std::filesystem::file_size(dir + "sink.raw") >= now + kRate * 4 / 5; },
             2000);
  }

  std::string dir;
  GstMediaEngine engine;
  RecordingListener listener{engine};
  GstElement* recorder = nullptr;
  std::size_t taken = 0;  // samples
  double maxDuration = 0;
};

// The whole player on a real engine of its own, its last playlist given, on the private session
// bus, and playerctl to drive it as the desktop's media keys do.
class PlayerTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    if (IsSkipped()) return;
    if (!QDBusConnection::sessionBus().isConnected()) {
      GTEST_SKIP() << "no session bus: run under scripts/with-dbus.sh";
    }
  }
  void TearDown() override {
    forms.reset();
    EngineTest::TearDown();
  }
  void startPlayer(const std::vector<std::string>& lastPlaylist) {
    std::string text;
    for (const std::string& path : lastPlaylist) text += path + "\r\n";
    ASSERT_TRUE(writeFileAtomically(dir + "lastplaylist.txt", text));
    FormsOptions options;
    options.makeEngine = [] { return makeGstMediaEngine(); };
    options.lastPlaylistFile = dir + "lastplaylist.txt";
    options.quit = [] {};
    forms = std::make_unique<Forms>(std::move(options));
    forms->start();
    forms->startMediaControls(QString());
    ASSERT_TRUE(forms->mediaControls()->registered());
  }

  // playerctl's answer to `args`, run while the event loop goes on.
  std::string playerctl(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("playerctl"), QStringList{QStringLiteral("-p"), QStringLiteral("sonavex")} + args);
    const bool done = p.waitForStarted() &&
                      QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, 10000);
    EXPECT_TRUE(done && p.exitCode() == 0) << args.join(' ').toStdString() << ": "
                                           << p.readAllStandardError().toStdString();
    return p.readAllStandardOutput().trimmed().toStdString();
  }
  Core& core() { return forms->core(); }
  bool waitFor(const std::function<bool()>& done) { return QTest::qWaitFor(done, 10000); }

  std::unique_ptr<Forms> forms;
};

// A playlist on the real engine, driven as the playlist window drives it: the engine's
// notifications reach the core as commands (so the engine hears what follows after each), and the
// clock and the marquee tick while the face says they run. `onNewStream` runs before the core
// hears of each new stream. A test runs its own commands through perform() too.
struct PlayingList {
  PlayingList(MediaEngine& engine, RecordingListener& listener,
              std::function<void()> onNewStream = {})
      : core(engine, random) {
    listener.then = [this, onNewStream](const std::string& kind, long oldState, long newState) {
      if (kind == "new") {
        if (onNewStream) onNewStream();
        perform(core, mp1_NewStream);
      } else if (kind == "error") {
        perform(core, mp1_Error);
      } else if (kind == "end") {
        perform(core, mp1_EndOfStream, 0L);
      } else {
        perform(core, mp1_PlayStateChange, oldState, newState);
      }
    };
    QObject::connect(&clock, &QTimer::timeout, [this] {
      if (core.face.clockTimerOn) perform(core, clockTick);
    });
    QObject::connect(&marquee, &QTimer::timeout, [this] {
      if (core.face.marqueeTimerOn) perform(core, marqueeTick);
    });
    clock.start(1000);
    marquee.start(222);
  }

  SeededRandom random{1};
  Core core;
  QTimer clock, marquee;
};

}  // namespace sonavex::e2e
