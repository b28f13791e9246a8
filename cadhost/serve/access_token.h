// Who may change things: every request that changes something carries the token the page got from this server, so a
// page of another site the designer has open cannot post to it. Requests naming another host than the loopback one
// the server listens on are refused, so another site's name cannot be pointed at it either.
#ifndef CADHOST_SERVE_ACCESS_TOKEN_H
#define CADHOST_SERVE_ACCESS_TOKEN_H

#include <string>

namespace cadhost::serve {

// 32 hexadecimal digits from the system's random source; empty when it cannot be read.
std::string new_token();

// Compares in time that does not depend on where they differ.
bool same_token(const std::string& expected, const std::string& given);

// Whether a Host header names the loopback address at this port: 127.0.0.1, localhost or [::1].
bool loopback_host(const std::string& host, int port);

}  // namespace cadhost::serve

#endif
