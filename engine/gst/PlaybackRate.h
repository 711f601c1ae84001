#pragma once
// The playback rate as the pipeline's, not each stream's: every segment that reaches the audio
// filter is given the rate on its way to the sink, and a stream that follows another is timed on
// from where that one's sound ended. So the next track joins without a gap at any rate, and a
// stream taken in advance plays at the rate like the one before it. The sink plays a segment's
// rate as a tape would (no time stretching): speed and pitch change together.
//
// Within one flush the rate stays as it was at the first segment given it; a change is applied by
// a flushing seek to where the track is, which starts a new run.
#include <gst/gst.h>

#include <atomic>
#include <mutex>

namespace sonavex {

class PlaybackRate {
 public:
  PlaybackRate() { gst_segment_init(&segment_, GST_FORMAT_UNDEFINED); }
  PlaybackRate(const PlaybackRate&) = delete;
  PlaybackRate& operator=(const PlaybackRate&) = delete;

  // Any thread; taken by the segments that come after.
  void set(double rate) { rate_.store(rate); }
  // The rate the stream that plays now was given.
  double given() const { return given_.load(); }
  // Watches `pad` (the audio filter's input) for as long as it lives.
  void watch(GstPad* pad);
  // A new run, as after a flush: the pipeline was stopped (which sends no flush) and is loaded
  // afresh.
  void restart();

 private:
  static GstPadProbeReturn onData(GstPad* pad, GstPadProbeInfo* info, gpointer data);
  void onSegment(GstPadProbeInfo* info);

  std::atomic<double> rate_{1.0};
  std::atomic<double> given_{1.0};
  // The streaming threads' (a flush comes from the seeking one): the segment as given on, the
  // running time at which the sound given on so far ends, and whether this run has been given
  // another rate than its streams came with.
  std::mutex lock_;
  GstSegment segment_;
  GstClockTime soundEnds_ = GST_CLOCK_TIME_NONE;
  bool retimed_ = false;
};

}  // namespace sonavex
