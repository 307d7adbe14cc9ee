#pragma once
// The options of a table server a test starts: many tables, TLS with a certificate for
// "localhost" made once for the test program, and no log.
#include <memory>
#include <string>
#include <string_view>

#include "app/net/tls.h"
#include "app/server/serverhost.h"

namespace quorbit::testsupport {

inline std::shared_ptr<const net::TlsIdentity> testTlsIdentity() {
    static const std::shared_ptr<const net::TlsIdentity> identity = [] {
        const net::PemPair pem = net::makeSelfSigned("localhost");
        std::string error;
        return net::TlsIdentity::fromPem(pem.cert, pem.key, error);
    }();
    return identity;
}

inline serverhost::ServerHost::Options tlsTableServerOptions() {
    serverhost::ServerHost::Options o;
    o.tables = true;
    o.tls = testTlsIdentity();
    o.log = [](std::string_view) {};
    return o;
}

}  // namespace quorbit::testsupport
