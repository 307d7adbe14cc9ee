// A server's TLS session fed any bytes as they might come from a client, cut into two
// reads: never a crash, and once it has failed it stays failed and yields no plaintext.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "app/net/tls.h"

namespace {

std::shared_ptr<const quorbit::net::TlsIdentity> identity() {
    static const auto id = [] {
        const quorbit::net::PemPair pem = quorbit::net::makeSelfSigned("fuzz");
        std::string error;
        return quorbit::net::TlsIdentity::fromPem(pem.cert, pem.key, error);
    }();
    return id;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto session = quorbit::net::TlsSession::server(identity());
    if (!session) return 0;
    std::string plain;
    std::string wire;
    const std::size_t cut = size ? data[0] % (size + 1) : 0;
    const bool first = session->feed(bytes.substr(0, cut), plain, wire);
    const bool second = session->feed(bytes.substr(cut), plain, wire);
    if ((!first && second) || (!session->established() && !plain.empty())) __builtin_trap();
    session->seal("CMD_x", wire);
    return 0;
}
