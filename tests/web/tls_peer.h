// A TLS peer for the web tests: a self-signed certificate made at test time
// with the openssl tool, and a connection handler that runs the server side
// of a TLS handshake with it and reports how the handshake ended.
#pragma once

#include <functional>
#include <string>

#include "tests/web/loopback_server.h"

// A key and a certificate for 127.0.0.1 (subject and IP address both), in a
// temporary directory removed again on destruction.
struct SelfSignedCertificate {
    SelfSignedCertificate();
    ~SelfSignedCertificate();
    std::string directory;
    std::string certificateFile;
    std::string keyFile;
};

// Accepts TLS on each connection and reports "handshake completed", or
// OpenSSL's reason for the failure, such as "tlsv1 alert unknown ca" when
// the client refused the certificate.
LoopbackServer::Handler TlsHandshake(const SelfSignedCertificate& certificate,
                                     std::function<void(const std::string&)> report);
