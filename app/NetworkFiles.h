#pragma once
// Fetches a playlist from an http(s) address with Qt Network, on the calling thread (an intake's
// producer): its own network access manager and event loop live only for the fetch.
#include "core/model/Platform.h"

namespace sonavex {

class NetworkFiles : public RemoteFiles {
 public:
  bool fetch(const std::string& address, std::size_t maxBytes, int timeoutMs,
             const std::function<bool()>& cancelled, Fetched& got) override;
};

}  // namespace sonavex
