// Who may change things: every request that changes something carries the token the page got from this server, so a
// page of another site the designer has open cannot post to it. Requests naming a host the server does not know as its
// own are refused, so another site's name cannot be pointed at it either.
#ifndef CADHOST_SERVE_ACCESS_TOKEN_H
#define CADHOST_SERVE_ACCESS_TOKEN_H

#include <string>
#include <vector>

namespace cadhost::serve {

// 32 hexadecimal digits from the system's random source; empty when it cannot be read.
std::string new_token();

// Compares in time that does not depend on where they differ.
bool same_token(const std::string& expected, const std::string& given);

// Whether a Host header names the loopback address at this port: 127.0.0.1, localhost or [::1].
bool loopback_host(const std::string& host, int port);

// The names a request may address the server by (the Host header without its port), chosen from the address it
// listens on. On the loopback address: the loopback names and that address. Beyond it: those, this machine's name
// and any numeric address; never another name, so that a name another site controls cannot be pointed at it.
struct HostRule {
    std::vector<std::string> names;  // compared without regard to ASCII case
    bool any_address = false;
};
HostRule host_rule(const std::string& listen);
bool allowed_host(const HostRule& rule, const std::string& host, int port);

// Whether an address to listen on is a loopback one: empty (the default), localhost, 127.x.y.z or ::1.
bool loopback_address(const std::string& listen);

// The address as a URL names it: an IPv6 address in brackets.
std::string url_host(const std::string& address);

}  // namespace cadhost::serve

#endif
