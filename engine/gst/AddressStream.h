#pragma once
// What the engine keeps of a stream from an address: how far its buffer is, what the server
// answered last, and how often it was redirected or reconnected.
#include <gst/gst.h>

#include <optional>
#include <string>

namespace sonavex {

struct AddressStream {
  // At most this many redirects from the address in the list, and this many new connections after
  // one is lost while playing, the first after kFirstRetryMs and each next twice as long after.
  static constexpr unsigned kMostRedirects = 5;
  static constexpr unsigned kMostRetries = 3;
  static constexpr guint kFirstRetryMs = 500;
  // A stream that played this long since its last connection starts its count of retries afresh.
  static constexpr double kSettledSeconds = 30;

  bool active = false;  // the current stream is from an address
  std::string address;  // where it is read from now: the entry's address, or where it led
  int buffering = 100;
  bool seekable = true;
  bool endless = true;  // no length was given: a live stream, whose end is a connection lost
  unsigned redirects = 0;
  unsigned retries = 0;
  guint retryTimer = 0;
  double playedBefore = 0;  // seconds played over the connections before this one
  // What the server answered last: its HTTP status (0: it did not answer) and where it redirects.
  unsigned status = 0;
  std::string reasonPhrase;  // as the source's error gives it
  std::string location;
  std::string sentKind;  // what it sent instead of sound (a media type), when no decoder takes it

  // Of the HTTP source's "http-headers" message: what the server answered.
  void answered(const GstStructure* headers);
  // Where a redirect leads, resolved against the address: an http(s) address, or nothing.
  std::optional<std::string> redirectTarget() const;
  // A failure the user is told of, from the server's answer; "" when it did not answer at all.
  std::string answerProblem() const;
};

}  // namespace sonavex
