#pragma once
// Records what the test sound server's sink plays (its monitor source) and measures it.
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

typedef struct _GstElement GstElement;

namespace sonavex::e2e {

// Stereo 16-bit frames at 44.1 kHz, left and right interleaved.
struct Recording {
  std::vector<std::int16_t> samples;
  std::size_t frames() const { return samples.size() / 2; }
};

class SinkCapture {
 public:
  // Starts recording "<sink>.monitor" at once. ok() tells whether the recorder runs.
  explicit SinkCapture(const std::string& sink);
  ~SinkCapture();
  SinkCapture(const SinkCapture&) = delete;
  SinkCapture& operator=(const SinkCapture&) = delete;

  bool ok() const { return pipeline_ != nullptr; }
  Recording take();  // everything recorded so far; recording goes on from empty

  void append(const std::int16_t* data, std::size_t count);

 private:
  GstElement* pipeline_ = nullptr;
  std::mutex mutex_;
  Recording recording_;
};

// The part of a recording where sound plays: from the first to the last 10 ms block whose level
// reaches `threshold` (of full scale) on either channel. Empty when none does.
struct Span {
  std::size_t first = 0;  // frame index
  std::size_t count = 0;  // frames
};
Span soundSpan(const Recording& r, double threshold = 0.02);

// How long sound plays in a recording, in seconds: the 10 ms blocks at or above `threshold`.
double soundSeconds(const Recording& r, double threshold = 0.02);

// Root mean square of one channel (0 left, 1 right) over a span, as a fraction of full scale.
double rms(const Recording& r, const Span& span, int channel);

// Largest absolute sample of both channels over the whole recording, as a fraction of full scale.
double peak(const Recording& r);

// The tone's frequency in Hz from the zero crossings of the left channel in the middle of a span.
double toneFrequency(const Recording& r, const Span& span);

}  // namespace sonavex::e2e
