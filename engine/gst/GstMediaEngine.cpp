#include "engine/gst/GstMediaEngine.h"

#include <gst/pbutils/pbutils.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <optional>
#include <utility>

#include "core/model/PlaylistFormats.h"
#include "core/model/StreamAddress.h"
#include "engine/gst/AudioSettings.h"
#include "engine/gst/ConnectionCheck.h"
#include "engine/gst/MissingPlugin.h"
#include "engine/gst/ProgramThread.h"

namespace sonavex {

namespace {

constexpr const char* kNoAudio = "the file holds no audio";
constexpr const char* kStreamLost = "the connection to the station was lost";
constexpr const char* kStreamSilent = "the server sent nothing for 10 s";
// The follower is heard once the sink's position in it is past this; it is taken as heard after
// this many polls while playing, whatever the sink says.
constexpr guint kJoinPollMs = 10;
constexpr double kJoinHeardSeconds = 0.002;
constexpr unsigned kJoinMostPolls = 150;
double toSeconds(gint64 ns) { return static_cast<double>(ns) / GST_SECOND; }

std::string takeText(gchar* text) {
  std::string result = text != nullptr ? text : "";
  g_free(text);
  return result;
}

}  // namespace

GstMediaEngine::GstMediaEngine(unsigned releaseAfterMs)
    : pipeline_(std::make_shared<Pipeline>()), releaseAfterMs_(releaseAfterMs) {
  pipeline_->events = this;
}

GstMediaEngine::~GstMediaEngine() {
  pipeline_->events = nullptr;  // nothing reported from now on reaches this engine
  for (GstMessage* held : followerTags_) gst_message_unref(held);
  for (GstMessage* held : laterStreams_) gst_message_unref(held);
  if (releaseId_ != 0) g_source_remove(releaseId_);
  if (stream_.retryTimer != 0) g_source_remove(stream_.retryTimer);
  worker_.post([pipeline = pipeline_] { release(*pipeline); });
}

bool GstMediaEngine::holdsPipeline() const {
  return static_cast<bool>(ElementRef(*pipeline_, &Pipeline::playbin));
}

bool GstMediaEngine::current(unsigned generation) const {
  return phase_ != Phase::Idle && phase_ != Phase::Ended && generation == generation_;
}

void GstMediaEngine::releaseWhenIdle() {
  if (releaseId_ != 0 || !built_) return;
  releaseId_ = g_timeout_add(
      releaseAfterMs_,
      [](gpointer data) -> gboolean {
        auto* self = static_cast<GstMediaEngine*>(data);
        self->releaseId_ = 0;
        if (self->phase_ == Phase::Idle || self->phase_ == Phase::Ended) {
          self->built_ = false;
          self->worker_.post([pipeline = self->pipeline_] { release(*pipeline); });
        }
        return G_SOURCE_REMOVE;
      },
      this);
}

void GstMediaEngine::setPipelineState(GstState state) {
  if (!built_) return;
  worker_.post([pipeline = pipeline_, state] { setState(*pipeline, state); });
}

void GstMediaEngine::unload() {
  setPipelineState(GST_STATE_NULL);
  forgetStream();
}

void GstMediaEngine::forgetStream(bool keepFollower) {
  stopJoinWatch();
  generation_ = pipeline_->newGeneration();
  if (!keepFollower) {
    pipeline_->next.follow(generation_);
    for (GstMessage* later : std::exchange(laterStreams_, {})) gst_message_unref(later);
  }
  for (GstMessage* tags : followerTags_) gst_message_unref(tags);
  followerTags_.clear();
  pipelinePlaying_ = false;
  phase_ = Phase::Idle;
  follower_ = Follower::None;
  tags_ = {};
  newStreamSent_ = false;
  length_ = endPosition_ = 0;
  pendingSeek_.reset();
  startAt_.reset();
  seeksDone_ = seeksAsked_;
  lastPosition_ = 0;
  missingDetail_.clear();
  missingDescription_.clear();
  pictureDecoderMissing_ = false;
  outputProblem_.clear();
  if (stream_.retryTimer != 0) g_source_remove(stream_.retryTimer);
  stream_ = {};
  state_ = kStopped;
  reportedState_ = kStopped;
}

void GstMediaEngine::open(const std::string& path) {
  // Opened while it starts behind the current one's last sound (a Next at the very end): the
  // current one goes out as it would have, unheard cut none.
  if (follower_ != Follower::None && path == followerPath_) {
    adoptFollower();
    return;
  }
  unload();
  if (releaseId_ != 0) g_source_remove(releaseId_);  // the pipeline serves this stream
  releaseId_ = 0;
  fileName_ = path;
  if (path.empty()) {
    releaseWhenIdle();
    return;
  }
  state_ = kPlaying;
  if (isStreamAddress(path)) {
    stream_.active = true;
    stream_.address = path;
    stream_.buffering = 0;  // connecting; told from the loop, never from inside open()
    report(pipeline_, [generation = generation_](PipelineEvents& events) {
      auto& self = static_cast<GstMediaEngine&>(events);
      if (self.current(generation) && self.listener() != nullptr) self.listener()->mp1_BufferingChanged();
    });
  }
  load(std::nullopt);
}

void GstMediaEngine::load(std::optional<double> startAt) {
  phase_ = Phase::Opening;
  startAt_ = startAt;
  // GStreamer takes C strings and would open the path cut at the NUL: some other file.
  if (fileName_.find('\0') != std::string::npos) {
    report(pipeline_, [generation = generation_, path = fileName_](PipelineEvents& events) {
      events.openFailed(generation, {EngineFault::Track, "the path contains a NUL byte", path});
    });
    return;
  }
  built_ = true;
  const unsigned serial = pipeline_->latestLoad.fetch_add(1) + 1;
  worker_.post([pipeline = pipeline_, generation = generation_, path = fileName_, serial,
                start = LoadStart{startAt.value_or(0), state_ == kPlaying && !stream_.active,
                                  stream_.active ? stream_.address : std::string()}] {
    sonavex::load(pipeline, generation, path, serial, start);
  });
}

void GstMediaEngine::adoptFollower() {
  if (releaseId_ != 0) g_source_remove(releaseId_);
  releaseId_ = 0;
  const unsigned generation = followerGeneration_;
  const std::string path = followerPath_;
  const double length = followerLength_;
  std::vector<GstMessage*> tags = std::exchange(followerTags_, {});
  forgetStream(true);  // a current stream still heard ends unreported: the program moved on
  pipeline_->next.adoptFirst();
  generation_ = generation;  // what the playing stream's messages carry
  fileName_ = path;
  length_ = length;
  phase_ = Phase::Running;
  state_ = kPlaying;
  // Its tags came as it started at the sink.
  for (GstMessage* message : tags) {
    onTags(message);
    gst_message_unref(message);
  }
  // It plays already; that is told from the loop, never from inside open().
  report(pipeline_, [generation](PipelineEvents& events) {
    auto& self = static_cast<GstMediaEngine&>(events);
    if (self.current(generation)) self.onPipelineState(GST_STATE_PLAYING);
  });
  for (GstMessage* later : std::exchange(laterStreams_, {})) {
    pipelineMessage(later);
    gst_message_unref(later);
  }
}

void GstMediaEngine::startJoin(unsigned followerGeneration) {
  follower_ = Follower::Joining;
  const NextTrack::Taken first = pipeline_->next.firstTaken();
  followerPath_ = first.path;
  followerLength_ = first.seconds;
  followerGeneration_ = followerGeneration;
  joinPolls_ = 0;
  joinWatch_ = g_timeout_add(
      kJoinPollMs,
      [](gpointer data) -> gboolean {
        auto* self = static_cast<GstMediaEngine*>(data);
        if (!self->joinHeard()) return G_SOURCE_CONTINUE;
        self->joinWatch_ = 0;
        self->endStream(false);
        return G_SOURCE_REMOVE;
      },
      this);
}

bool GstMediaEngine::joinHeard() {
  if (state_ != kPlaying) return false;  // paused: nothing more is heard
  if (++joinPolls_ >= kJoinMostPolls) return true;
  const SinkAsked sink(*pipeline_);
  gint64 ns = 0;
  // Until the sink's clock reaches the follower's first sound, its position stays at the start.
  return sink.get() != nullptr && gst_element_query_position(sink.get(), GST_FORMAT_TIME, &ns) &&
         toSeconds(ns) > kJoinHeardSeconds;
}

void GstMediaEngine::stopJoinWatch() {
  if (joinWatch_ != 0) g_source_remove(joinWatch_);
  joinWatch_ = 0;
}

void GstMediaEngine::queueNext(std::vector<std::string> upcoming) {
  // A stream from an address is read to its end when its connection is lost, or as soon as a
  // file has come whole, long before it is heard out: what follows it is opened after it.
  if (stream_.active) upcoming.clear();
  pipeline_->next.queue(std::move(upcoming));
}

void GstMediaEngine::openFailed(unsigned generation, const EngineError& error) {
  if (current(generation)) failStream(error);
}

void GstMediaEngine::failStream(EngineError error) {
  if (error.path.empty()) error.path = fileName_;
  unload();
  releaseWhenIdle();
  lastError_ = std::move(error);
  if (listener() != nullptr) listener()->mp1_Error();
}

// While a stream opens, the state asked for goes to the worker after its load.
void GstMediaEngine::play() {
  if (state_ != kPaused || phase_ == Phase::Idle || phase_ == Phase::Ended) return;
  state_ = kPlaying;
  if (stream_.active && (stream_.buffering < 100 || phase_ != Phase::Running)) return;  // once buffered
  setPipelineState(GST_STATE_PLAYING);
}

void GstMediaEngine::pause() {
  if (state_ != kPlaying || phase_ == Phase::Idle || phase_ == Phase::Ended) return;
  state_ = kPaused;
  setPipelineState(GST_STATE_PAUSED);
  // A stream paused for its buffer already is: told from the loop, as a state change would be.
  if (stream_.active && stream_.buffering < 100) {
    report(pipeline_, [generation = generation_](PipelineEvents& events) {
      auto& self = static_cast<GstMediaEngine&>(events);
      if (self.current(generation)) self.onPipelineState(GST_STATE_PAUSED);
    });
  }
}

void GstMediaEngine::stop() {
  unload();
  releaseWhenIdle();
}

// Both are asked of the audio sink, not of playbin: playbin answers queries under the lock it
// holds while the worker changes its state, and a state change may wait on a slow file system.
double GstMediaEngine::position() const {
  // A stream reconnected goes on counting from what was heard before.
  const bool counting = stream_.active && phase_ != Phase::Idle && phase_ != Phase::Ended;
  return positionInStream() + (counting ? stream_.playedBefore : 0);
}

double GstMediaEngine::positionInStream() const {
  if (phase_ == Phase::Ended) return endPosition_;
  if (phase_ == Phase::Idle) return 0;
  if (phase_ != Phase::Running) return pendingSeek_.value_or(startAt_.value_or(0));
  if (seeksDone_ != seeksAsked_) return seekTarget_;  // the worker has not made it yet
  // The sink counts in the follower already; what is heard is this stream's last sound.
  if (follower_ == Follower::Joining) return length_ > 0 ? std::nextafter(length_, 0.0) : lastPosition_;
  const SinkAsked sink(*pipeline_);
  gint64 ns = 0;
  if (sink.get() != nullptr && gst_element_query_position(sink.get(), GST_FORMAT_TIME, &ns) && ns >= 0) {
    lastPosition_ = toSeconds(ns);
  }
  // With a stream taken to follow, the track ends when that one starts, which the engine
  // reports: its position never reaches its length before (the clock would end it once more).
  if (follower_ == Follower::None && pipeline_->next.taken() && length_ > 0 && lastPosition_ >= length_) {
    return std::nextafter(length_, 0.0);
  }
  return lastPosition_;
}

double GstMediaEngine::duration() const {
  if (phase_ == Phase::Ended) return endPosition_;
  // A live stream has none, whatever its parser makes of the bytes it has seen.
  if (stream_.active && stream_.endless) return 0;
  if (phase_ != Phase::Running) return length_;  // 0 for a new stream; the track's while reloaded
  // Once the next stream is taken, playbin answers for that one: the length read before stands.
  if (pipeline_->next.taken() || follower_ != Follower::None) return length_;
  // Asked afresh each time: an MP3 without a length header only gets one after a while.
  const SinkAsked sink(*pipeline_);
  gint64 ns = 0;
  if (sink.get() != nullptr && gst_element_query_duration(sink.get(), GST_FORMAT_TIME, &ns) && ns > 0) {
    const_cast<GstMediaEngine*>(this)->length_ = toSeconds(ns);
  }
  return length_;
}

void GstMediaEngine::setPosition(double seconds) {
  if (phase_ == Phase::Idle || phase_ == Phase::Ended || std::isnan(seconds)) return;
  if (stream_.active && (!stream_.seekable || phase_ != Phase::Running)) return;  // live: nothing to move in
  seconds = std::max(seconds, 0.0);
  const double length = duration();
  if (length > 0) seconds = std::min(seconds, length);
  if (phase_ != Phase::Running) {
    pendingSeek_ = seconds;
    return;
  }
  // A stream taken to follow is set up to start when this one's data ends, wherever a seek puts
  // it: the track is loaded again from there instead, and what follows is taken again at its end.
  if (pipeline_->next.taken() || pipeline_->next.dropping() || follower_ != Follower::None) {
    stopJoinWatch();
    for (GstMessage* tags : std::exchange(followerTags_, {})) gst_message_unref(tags);
    for (GstMessage* later : std::exchange(laterStreams_, {})) gst_message_unref(later);
    follower_ = Follower::None;
    generation_ = pipeline_->newGeneration();
    pipeline_->next.follow(generation_);
    lastPosition_ = seconds;
    load(seconds);
    return;
  }
  seekTo(seconds);
}

void GstMediaEngine::seekTo(double seconds) {
  lastPosition_ = seekTarget_ = seconds;
  const unsigned asked = ++seeksAsked_;
  worker_.post([pipeline = pipeline_, seconds, asked] {
    seek(*pipeline, seconds);
    report(pipeline, [asked](PipelineEvents& events) { events.seekDone(asked); });
  });
}

void GstMediaEngine::seekDone(unsigned asked) {
  // A stream opened since has no seek on its way.
  if (asked > seeksDone_ && asked <= seeksAsked_) seeksDone_ = asked;
}

void GstMediaEngine::setRate(double rate) {
  rate = clampRate(rate);
  if (rate == rate_) return;
  rate_ = rate;
  pipeline_->rate.set(rate);
  // A playing stream takes it from where it is, by a seek there; one still opening, from its
  // start unless it started at the rate before (see onPrerolled). Near the end, once the next
  // stream is taken, what is buffered plays out and the streams that follow start at the new rate:
  // a seek then would load the track again for its last moments.
  if (phase_ == Phase::Running && !pipeline_->next.taken() && follower_ == Follower::None) {
    setPosition(position());
  }
}

void GstMediaEngine::setVolume(long volume) {
  worker_.post([pipeline = pipeline_, volume] {
    pipeline->volume = volume;
    applyAudioSettings(*pipeline);
  });
}

void GstMediaEngine::setBalance(long balance) {
  worker_.post([pipeline = pipeline_, balance] {
    pipeline->balance = balance;
    applyAudioSettings(*pipeline);
  });
  // The sound already buffered has the old balance: dropped, so the new one is heard at once.
  if (phase_ == Phase::Running) setPosition(position());
}

// Property sets on the live elements, not a seek: the change is heard as the output's buffer
// plays out, with no gap or restart of the track.
void GstMediaEngine::setEqualizer(const EqualizerSettings& settings) { pipeline_->sound.setEqualizer(settings); }

void GstMediaEngine::setReplayGain(const ReplayGainSettings& settings) { pipeline_->sound.setReplayGain(settings); }

bool GstMediaEngine::isPlaybin(GstMessage* message) const {
  std::lock_guard hold(pipeline_->lock);
  return GST_MESSAGE_SRC(message) == GST_OBJECT_CAST(pipeline_->playbin);
}

void GstMediaEngine::pipelineMessage(GstMessage* message) {
  unsigned stamp = stampOf(message);
  // The stream taken to follow has started at the sink: the one before ends once it is heard.
  if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_STREAM_START && phase_ == Phase::Running &&
      follower_ == Follower::None && stamp != generation_ && pipeline_->next.taken()) {
    startJoin(stamp);
    return;
  }
  if (follower_ != Follower::None && stamp > followerGeneration_) {
    switch (GST_MESSAGE_TYPE(message)) {
      case GST_MESSAGE_STREAM_START:
      case GST_MESSAGE_TAG:
      case GST_MESSAGE_EOS:
      case GST_MESSAGE_ERROR:
        laterStreams_.push_back(gst_message_ref(message));
        return;
      default:
        break;
    }
  }
  if (follower_ != Follower::None && stamp == followerGeneration_) {
    switch (GST_MESSAGE_TYPE(message)) {
      case GST_MESSAGE_TAG:
        // Held for when the program opens it.
        if (fromAudioSink(message)) followerTags_.push_back(gst_message_ref(message));
        return;
      case GST_MESSAGE_EOS:
      case GST_MESSAGE_ERROR:
        // The follower's own end or fault: the join is over, and the program hears of it as the
        // current stream's once it has opened the follower.
        if (follower_ == Follower::Joining) {
          stopJoinWatch();
          endStream(false);
          if (current(stamp)) pipelineMessage(message);
        }
        return;
      default:
        // The pipeline's own messages (its state) concern the stream still heard.
        if (follower_ == Follower::Joining) stamp = generation_;
        break;
    }
  }
  // Old streams may still post end-of-stream or errors; ignore them.
  if (!current(stamp)) return;

  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_BUFFERING:
      if (stream_.active) {
        gint percent = 100;
        gst_message_parse_buffering(message, &percent);
        onBuffering(percent);
      }
      break;
    case GST_MESSAGE_ERROR:
      if (stream_.active) {
        failAddress(message);
        break;
      }
      // An error while the next stream is taken is that stream's: it is withdrawn, this one plays
      // to its end, and the next is opened again then, to fail on its own account.
      if (pipeline_->next.awaitingStart() && !fromAudioSink(message)) {
        pipeline_->next.withdraw();
      } else {
        failStream(errorFor(message));
      }
      break;
    case GST_MESSAGE_TAG:
      // Only what reaches the sink: tags travel with the sound, so they belong to the stream heard.
      if (fromAudioSink(message)) onTags(message);
      break;
    case GST_MESSAGE_WARNING:
      // autoaudiosink warns with the first sink's failure when it falls back to a fakesink.
      if (outputProblem_.empty() && fromAudioSink(message)) {
        GError* error = nullptr;
        gst_message_parse_warning(message, &error, nullptr);
        if (error != nullptr) outputProblem_ = error->message;
        g_clear_error(&error);
      }
      break;
    case GST_MESSAGE_ELEMENT:
      if (stream_.active && gst_message_has_name(message, "http-headers")) {
        stream_.answered(gst_message_get_structure(message));
      }
      // Comes before the error "missing a plug-in", which does not say what is missing.
      if (missingDetail_.empty() && gst_is_missing_plugin_message(message)) {
        std::string detail = takeText(gst_missing_plugin_message_get_installer_detail(message));
        if (const std::size_t kind = detail.rfind("decoder-"); stream_.active && kind != std::string::npos) {
          stream_.sentKind = detail.substr(kind + 8);
        }
        if (missingForSound(detail)) {
          missingDetail_ = std::move(detail);
          missingDescription_ = takeText(gst_missing_plugin_message_get_description(message));
        } else {
          pictureDecoderMissing_ = true;
        }
      }
      break;
    case GST_MESSAGE_EOS:
      // A live stream has no end of its own: its connection was lost.
      if (stream_.active && stream_.endless) {
        if (!retryStream()) failStream({EngineFault::Track, kStreamLost, fileName_});
        break;
      }
      endStream(true);
      break;
    case GST_MESSAGE_ASYNC_DONE:
      if (phase_ == Phase::Opening && isPlaybin(message)) {
        phase_ = Phase::Checking;
        worker_.post([pipeline = pipeline_, generation = generation_] {
          const PrerollCheck check = sonavex::checkPreroll(*pipeline, generation);
          report(pipeline, [generation, check](PipelineEvents& events) {
            events.prerollChecked(generation, check);
          });
        });
      }
      break;
    case GST_MESSAGE_STATE_CHANGED:
      if (isPlaybin(message)) {
        GstState newState = GST_STATE_NULL;
        gst_message_parse_state_changed(message, nullptr, &newState, nullptr);
        onPipelineState(newState);
      }
      break;
    default:
      break;
  }
}

EngineError GstMediaEngine::errorFor(GstMessage* message) const {
  GError* error = nullptr;
  gst_message_parse_error(message, &error, nullptr);
  EngineError result{EngineFault::Track, "the file cannot be played", fileName_};
  if (error == nullptr) return result;
  if (error->message != nullptr && *error->message != '\0') result.text = error->message;

  const bool missing = g_error_matches(error, GST_CORE_ERROR, GST_CORE_ERROR_MISSING_PLUGIN) ||
                       g_error_matches(error, GST_STREAM_ERROR, GST_STREAM_ERROR_CODEC_NOT_FOUND);
  if (error->domain == GST_RESOURCE_ERROR && fromAudioSink(message)) {
    result.fault = EngineFault::Output;  // the sound server or device failed, not the file
  } else if (missing && !missingDetail_.empty()) {
    result = missingPluginError(missingDetail_, missingDescription_);
    result.path = fileName_;
  } else if (missing && pictureDecoderMissing_) {
    result.text = kNoAudio;
  }
  g_error_free(error);
  return result;
}

bool GstMediaEngine::fromAudioSink(GstMessage* message) const {
  ElementRef sink(*pipeline_, &Pipeline::audioSink);
  return sink && GST_MESSAGE_SRC(message) != nullptr &&
         gst_object_has_as_ancestor(GST_MESSAGE_SRC(message), GST_OBJECT_CAST(sink.get()));
}

void GstMediaEngine::prerollChecked(unsigned generation, const PrerollCheck& check) {
  if (current(generation) && phase_ == Phase::Checking) onPrerolled(check);
}

void GstMediaEngine::onPrerolled(const PrerollCheck& check) {
  // A picture or a silent video is no track for an audio player: fail it, so the playlist moves on.
  if (check.audioStreams == 0) {
    failStream(missingDetail_.empty() ? EngineError{EngineFault::Track, kNoAudio, fileName_}
                                      : missingPluginError(missingDetail_, missingDescription_));
    return;
  }
  // Checked only now: autoaudiosink picks its output when playbin sets up the audio chain.
  if (!check.outputOpened) {
    std::string text = "no audio device or sound server could be opened";
    if (!outputProblem_.empty()) text += " (" + outputProblem_ + ")";
    failStream({EngineFault::Output, text, fileName_});
    return;
  }
  phase_ = Phase::Running;
  if (check.seconds > 0) length_ = check.seconds;
  if (stream_.active) {
    stream_.seekable = check.seekable && !stream_.endless;
    if (!stream_.seekable) pendingSeek_.reset();
    startWhenBuffered();
  }
  // The worker started the stream where it was asked; a seek asked meanwhile follows, and one to
  // where it is when the rate changed after it started.
  if (!pendingSeek_ && check.rate != rate_ && stream_.seekable) pendingSeek_ = position();
  if (pendingSeek_) seekTo(*pendingSeek_);
  pendingSeek_.reset();
  if (pipelinePlaying_) onPipelineState(GST_STATE_PLAYING);  // it got there while looked at
}

void GstMediaEngine::onPipelineState(GstState newState) {
  const unsigned generation = generation_;
  if (phase_ != Phase::Running) pipelinePlaying_ = newState == GST_STATE_PLAYING;
  if (newState == GST_STATE_PLAYING && phase_ == Phase::Running) {
    if (!newStreamSent_) {
      newStreamSent_ = true;
      if (listener() != nullptr) listener()->mp1_NewStream();
      if (generation != generation_) return;  // the listener opened or stopped
    }
    if (reportedState_ != kPlaying && state_ == kPlaying) {
      const long old = reportedState_;
      reportedState_ = kPlaying;
      if (listener() != nullptr) listener()->mp1_PlayStateChange(old, kPlaying);
    }
  } else if (newState == GST_STATE_PAUSED && state_ == kPaused && reportedState_ == kPlaying) {
    reportedState_ = kPaused;
    if (listener() != nullptr) listener()->mp1_PlayStateChange(kPlaying, kPaused);
  }
}

void GstMediaEngine::endStream(bool stopPipeline) {
  // A stream that played on ends before its start was told (the tell waits for the loop): its
  // start comes first.
  if (phase_ == Phase::Running && !newStreamSent_ && state_ == kPlaying) {
    const unsigned generation = generation_;
    onPipelineState(GST_STATE_PLAYING);
    if (generation != generation_) return;  // the listener opened or stopped
  }
  // GStreamer's last position is often a little short of the length: report the length.
  double length = duration();
  if (length <= 0) length = position();
  const long old = reportedState_;
  const bool playsOn = !stopPipeline;
  const unsigned followerGeneration = followerGeneration_;
  const std::string followerPath = followerPath_;
  std::vector<GstMessage*> followerTags = std::exchange(followerTags_, {});
  if (!playsOn) {
    for (GstMessage* tags : std::exchange(followerTags, {})) gst_message_unref(tags);
  }
  if (stopPipeline) {
    unload();
    releaseWhenIdle();
  } else {
    forgetStream(true);  // the pipeline goes on with the stream taken, until the program opens it
  }
  phase_ = Phase::Ended;
  endPosition_ = length;
  if (playsOn) {
    follower_ = Follower::PlaysOn;
    followerGeneration_ = followerGeneration;
    followerPath_ = followerPath;
    followerTags_ = std::move(followerTags);
  }

  const unsigned generation = generation_;
  if (listener() != nullptr) listener()->mp1_EndOfStream(0);
  if (generation == generation_ && listener() != nullptr) {
    listener()->mp1_PlayStateChange(old, kStopped);
  }
  // Nobody took up the stream that plays on: it must not play unasked.
  if (follower_ == Follower::PlaysOn && generation == generation_) {
    follower_ = Follower::None;
    unload();
    releaseWhenIdle();
  }
}

void GstMediaEngine::onTags(GstMessage* message) {
  GstTagList* list = nullptr;
  gst_message_parse_tag(message, &list);
  if (list == nullptr) return;
  TrackTags tags = tags_;
  const std::pair<const char*, std::string*> texts[] = {
      {GST_TAG_TITLE, &tags.title}, {GST_TAG_ARTIST, &tags.artist}, {GST_TAG_ALBUM, &tags.album}};
  for (const auto& [tag, text] : texts) {
    gchar* value = nullptr;
    if (gst_tag_list_get_string(list, tag, &value)) *text = plainShownName(takeText(value));
  }
  // A station names itself in its answer's headers, which the HTTP source gives as organization.
  gchar* station = nullptr;
  if (stream_.active && tags.album.empty() && gst_tag_list_get_string(list, GST_TAG_ORGANIZATION, &station)) {
    tags.album = plainShownName(takeText(station));
  }
  guint number = 0;
  if (gst_tag_list_get_uint(list, GST_TAG_TRACK_NUMBER, &number)) {
    tags.trackNumber = static_cast<int>(number);
  }
  GstSample* cover = nullptr;
  if (gst_tag_list_get_sample(list, GST_TAG_IMAGE, &cover) ||
      gst_tag_list_get_sample(list, GST_TAG_PREVIEW_IMAGE, &cover)) {
    // Written by the worker: the program's thread does not wait on the disk.
    worker_.post([pipeline = pipeline_, cover, generation = generation_] {
      const std::string url = saveCover(cover);
      gst_sample_unref(cover);
      if (url.empty()) return;
      report(pipeline, [generation, url](PipelineEvents& events) { events.coverSaved(generation, url); });
    });
  }
  gst_tag_list_unref(list);
  if (tags == tags_) return;
  tags_ = std::move(tags);
  if (listener() != nullptr) listener()->mp1_TagsChanged();
}

void GstMediaEngine::coverSaved(unsigned generation, const std::string& url) {
  if (!current(generation) || tags_.artUrl == url) return;
  tags_.artUrl = url;
  if (listener() != nullptr) listener()->mp1_TagsChanged();
}

void GstMediaEngine::setBuffering(int percent) {
  if (percent == stream_.buffering) return;
  stream_.buffering = percent;
  if (listener() != nullptr) listener()->mp1_BufferingChanged();
}

// Played only with a full buffer, and paused whenever it runs dry, so that it plays on without
// stuttering; the state the program reads stays what it asked for.
void GstMediaEngine::onBuffering(int percent) {
  const unsigned generation = generation_;
  setBuffering(percent);
  if (generation != generation_ || phase_ != Phase::Running) return;
  if (percent < 100 && state_ == kPlaying) {
    setPipelineState(GST_STATE_PAUSED);
  } else {
    startWhenBuffered();
  }
}

void GstMediaEngine::startWhenBuffered() {
  if (stream_.buffering >= 100 && state_ == kPlaying) setPipelineState(GST_STATE_PLAYING);
}

void GstMediaEngine::failAddress(GstMessage* message) {
  GError* error = nullptr;
  gst_message_parse_error(message, &error, nullptr);
  if (error != nullptr && error->message != nullptr && stream_.status >= 300) stream_.reasonPhrase = error->message;
  g_clear_error(&error);
  if (const auto target = stream_.redirectTarget(); target && stream_.redirects < AddressStream::kMostRedirects) {
    ++stream_.redirects;
    stream_.address = *target;
    reloadStream(0);
    return;
  }
  if (!missingDetail_.empty() || pictureDecoderMissing_) {
    // What typefinding found is no sound: a web page, most often.
    const std::string& kind = stream_.sentKind;
    failStream({EngineFault::Track, "the address gives no sound" + (kind.empty() ? "" : " (it sends " + kind + ")"),
                fileName_});
    return;
  }
  if (retryStream()) return;
  if (std::string problem = stream_.answerProblem(); !problem.empty()) {
    failStream({EngineFault::Track, std::move(problem), fileName_});
    return;
  }
  // GStreamer's HTTP source says only that its stream stopped: connect once more to say why.
  setPipelineState(GST_STATE_NULL);
  checkConnection(stream_.address, [pipeline = pipeline_, generation = generation_](std::string reason) {
    if (pipeline->events == nullptr) return;
    auto& self = static_cast<GstMediaEngine&>(*pipeline->events);
    if (!self.current(generation)) return;
    self.failStream({EngineFault::Track, reason.empty() ? kStreamSilent : std::move(reason), self.fileName_});
  });
}

bool GstMediaEngine::retryStream() {
  if (!newStreamSent_) return false;  // it never played: nothing was lost
  if (positionInStream() >= AddressStream::kSettledSeconds) stream_.retries = 0;
  if (stream_.retries >= AddressStream::kMostRetries) return false;
  stream_.playedBefore = position();
  const guint delay = AddressStream::kFirstRetryMs << stream_.retries;
  ++stream_.retries;
  stream_.address = fileName_;  // from the entry's own address again
  stream_.redirects = 0;
  reloadStream(delay);
  return true;
}

void GstMediaEngine::reloadStream(guint delayMs) {
  setPipelineState(GST_STATE_NULL);
  generation_ = pipeline_->newGeneration();
  pipeline_->next.follow(generation_);
  phase_ = Phase::Opening;
  pipelinePlaying_ = false;
  length_ = 0;
  missingDetail_.clear();
  missingDescription_.clear();
  pictureDecoderMissing_ = false;
  stream_.status = 0;
  setBuffering(0);
  if (delayMs == 0) {
    load(std::nullopt);
    return;
  }
  if (stream_.retryTimer != 0) g_source_remove(stream_.retryTimer);
  stream_.retryTimer = g_timeout_add(
      delayMs,
      [](gpointer data) -> gboolean {
        auto* self = static_cast<GstMediaEngine*>(data);
        self->stream_.retryTimer = 0;
        self->load(std::nullopt);
        return G_SOURCE_REMOVE;
      },
      this);
}

std::unique_ptr<MediaEngine> makeGstMediaEngine() { return std::make_unique<GstMediaEngine>(); }

}  // namespace sonavex
