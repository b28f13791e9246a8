#include "cadhost/serve/access_token.h"

#include <arpa/inet.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

namespace cadhost::serve {

std::string new_token() {
    std::ifstream random("/dev/urandom", std::ios::binary);
    unsigned char bytes[16];
    if (!random.read(reinterpret_cast<char*>(bytes), sizeof bytes)) return {};
    static const char* digits = "0123456789abcdef";
    std::string token;
    for (unsigned char b : bytes) {
        token += digits[b >> 4];
        token += digits[b & 15];
    }
    return token;
}

bool same_token(const std::string& expected, const std::string& given) {
    if (expected.empty() || given.size() != expected.size()) return false;
    unsigned char difference = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) difference |= static_cast<unsigned char>(expected[i] ^ given[i]);
    return difference == 0;
}

bool loopback_host(const std::string& host, int port) { return allowed_host(host_rule(""), host, port); }

namespace {

std::string lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool numeric_address(const std::string& name) {
    unsigned char bytes[16];
    if (name.size() > 2 && name.front() == '[' && name.back() == ']')
        return ::inet_pton(AF_INET6, name.substr(1, name.size() - 2).c_str(), bytes) == 1;
    return ::inet_pton(AF_INET, name.c_str(), bytes) == 1;
}

}  // namespace

std::string url_host(const std::string& address) {
    unsigned char bytes[16];
    return ::inet_pton(AF_INET6, address.c_str(), bytes) == 1 ? "[" + address + "]" : address;
}

bool loopback_address(const std::string& listen) {
    const std::string name = lower(listen);
    unsigned char bytes[16];
    if (name.empty() || name == "localhost") return true;
    if (::inet_pton(AF_INET, name.c_str(), bytes) == 1) return bytes[0] == 127;
    if (::inet_pton(AF_INET6, name.c_str(), bytes) == 1) {
        static const unsigned char loopback[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
        return std::equal(bytes, bytes + 16, loopback);
    }
    return false;
}

HostRule host_rule(const std::string& listen) {
    HostRule rule;
    rule.names = {"127.0.0.1", "localhost", "[::1]"};
    if (!listen.empty()) rule.names.push_back(lower(url_host(listen)));
    if (loopback_address(listen)) return rule;
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) == 0 && name[0]) rule.names.push_back(lower(name));
    rule.any_address = true;
    return rule;
}

bool allowed_host(const HostRule& rule, const std::string& host, int port) {
    // The name, then ":port" unless the port is 80.
    const std::size_t close = host.rfind(']');
    const std::size_t colon = host.rfind(':');
    std::string name = host;
    if (colon != std::string::npos && (close == std::string::npos || colon > close)) {
        if (host.substr(colon + 1) != std::to_string(port)) return false;
        name = host.substr(0, colon);
    } else if (port != 80) {
        return false;
    }
    if (name.empty()) return false;
    name = lower(name);
    if (std::find(rule.names.begin(), rule.names.end(), name) != rule.names.end()) return true;
    return rule.any_address && numeric_address(name);
}

}  // namespace cadhost::serve
