// The far end of the listen window tests: a server on 127.0.0.1, on a port
// the system picks, that serves a short MP3 made at test time and records
// the target of every request it answers.
//
//   SoundServer server(MakeTestSound(directory));
//   server.Address("/sound.mp3");     // "http://127.0.0.1:<port>/sound.mp3"
//   server.WaitFor("/sound.mp3");     // true once a request for it arrived
#pragma once

#include <httplib.h>

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// A three-second 440 Hz tone encoded as MP3 into `directory`, read back.
std::string MakeTestSound(const std::string& directory);

// A self-signed certificate and key for 127.0.0.1, written into `directory`;
// their paths.
struct CertificateFiles {
    std::string certificate;
    std::string key;
};
CertificateFiles MakeSelfSignedCertificate(const std::string& directory);

class SoundServer {
   public:
    // Serves `sound` as audio/mpeg at /sound.mp3 and /other.mp3, answers
    // every other target with 404; over TLS when given certificate files.
    explicit SoundServer(std::string sound, const CertificateFiles* tls = nullptr);
    ~SoundServer();
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    int Port() const { return port_; }
    // "http://127.0.0.1:<port>" (https with TLS) followed by the path.
    std::string Address(std::string_view path) const;
    // Request targets (path and query as sent), in order of arrival.
    std::vector<std::string> Targets() const;
    bool Received(std::string_view target) const;
    // Runs the caller's event loop until `target` was requested or ten
    // seconds passed; whether it was.
    bool WaitFor(std::string_view target) const;

   private:
    std::string sound_;
    std::unique_ptr<httplib::Server> server_;
    std::string scheme_;
    int port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<std::string> targets_;
};
