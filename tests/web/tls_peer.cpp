#include "tests/web/tls_peer.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include <filesystem>
#include <memory>
#include <stdexcept>

SelfSignedCertificate::SelfSignedCertificate() {
    char pattern[] = "/tmp/varnoke-tls-XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("no temporary directory");
    directory = pattern;
    certificateFile = directory + "/cert.pem";
    keyFile = directory + "/key.pem";
    const std::string command =
        "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 1 -subj /CN=127.0.0.1"
        " -addext subjectAltName=IP:127.0.0.1 -keyout " +
        keyFile + " -out " + certificateFile + " 2>/dev/null";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("openssl could not make a certificate");
}

SelfSignedCertificate::~SelfSignedCertificate() { std::filesystem::remove_all(directory); }

LoopbackServer::Handler TlsHandshake(const SelfSignedCertificate& certificate,
                                     std::function<void(const std::string&)> report) {
    // A client that gives up before the handshake leaves the peer writing to
    // a closed socket: that must end as a failed handshake, not kill the test.
    signal(SIGPIPE, SIG_IGN);
    return [&certificate, report = std::move(report)](LoopbackConnection& connection) {
        std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)> context(SSL_CTX_new(TLS_server_method()), SSL_CTX_free);
        SSL_CTX_use_certificate_file(context.get(), certificate.certificateFile.c_str(), SSL_FILETYPE_PEM);
        SSL_CTX_use_PrivateKey_file(context.get(), certificate.keyFile.c_str(), SSL_FILETYPE_PEM);
        std::unique_ptr<SSL, decltype(&SSL_free)> session(SSL_new(context.get()), SSL_free);
        const timeval patience{5, 0};  // a client that never speaks cannot hold the server
        setsockopt(connection.Descriptor(), SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
        SSL_set_fd(session.get(), connection.Descriptor());
        ERR_clear_error();
        errno = 0;
        const int accepted = SSL_accept(session.get());
        if (accepted == 1) {
            report("handshake completed");
            return;
        }
        if (SSL_get_error(session.get(), accepted) == SSL_ERROR_SYSCALL && errno != 0) {
            report(std::string("the client left before the handshake ended: ") + std::strerror(errno));
            return;
        }
        const unsigned long error = ERR_get_error();
        const char* reason = ERR_reason_error_string(error);
        report(reason != nullptr ? reason : "no reason");
    };
}
