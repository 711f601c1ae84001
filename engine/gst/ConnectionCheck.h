#pragma once
// Why an address could not be reached. GStreamer's HTTP source tells only that its stream stopped;
// this connects once more (with TLS for https) to find the reason a listener can act on: a name
// that is not found, a connection refused or not answered, a certificate that is not trusted.
#include <functional>
#include <string>

namespace sonavex {

// Runs on the default main context (the program's loop) without blocking it: the name is looked up
// and the connection made by GIO off the loop. `done` gets the reason, or "" when the connection
// succeeds (the server then failed in what it sent).
void checkConnection(const std::string& address, std::function<void(std::string reason)> done);

}  // namespace sonavex
