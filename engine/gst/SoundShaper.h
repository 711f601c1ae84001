#pragma once
// The audio filter's gain and equalizer, before the balance: one volume element gives the
// ReplayGain of the playing stream plus the equalizer's preamp, and equalizer-10bands the bands'
// curve. With the equalizer and ReplayGain off both stand at unity, where GStreamer passes the
// sound through untouched, so they cost what the path cost without them. Settings are applied to
// the live elements at once, from any thread; the stream's ReplayGain tags are read at the filter's
// door, so a stream taken to follow another gets its own gain from its first sample.
#include <gst/gst.h>

#include <mutex>

#include "core/model/SoundShaping.h"

namespace sonavex {

class SoundShaper {
 public:
  SoundShaper() = default;
  SoundShaper(const SoundShaper&) = delete;
  SoundShaper& operator=(const SoundShaper&) = delete;

  // The audio filter: the output's batcher, gain, equalizer, then `last` (taken over), in one bin;
  // null when an element is missing (`missing` names it). Its input pad is the filter's door.
  GstElement* build(GstElement* last, const char** missing);
  // The elements are let go with the bin; nothing is applied to them from now on.
  void drop();

  void setEqualizer(const EqualizerSettings& settings);
  void setReplayGain(const ReplayGainSettings& settings);

 private:
  static GstPadProbeReturn onEvent(GstPad* pad, GstPadProbeInfo* info, gpointer data);
  void apply();      // under lock_: the gain and the bands
  void applyGain();  // under lock_: what the stream's tags change

  std::mutex lock_;
  EqualizerSettings equalizer_;
  ReplayGainSettings replayGain_;
  ReplayGainTags tags_;
  GstElement* gain_ = nullptr;  // unowned: the bin's
  GstElement* bands_ = nullptr;
};

}  // namespace sonavex
