#include "cadhost/serve/access_token.h"

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

bool loopback_host(const std::string& host, int port) {
    const std::string port_text = std::to_string(port);
    for (const char* name : {"127.0.0.1", "localhost", "[::1]"}) {
        // Appended piece by piece: "a" + string inlined at -O3 sets off a false overlap warning in GCC 12.
        std::string with_port(name);
        with_port += ':';
        with_port += port_text;
        if (host == with_port || (port == 80 && host == name)) return true;
    }
    return false;
}

}  // namespace cadhost::serve
