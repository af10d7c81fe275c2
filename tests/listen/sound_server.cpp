#include "tests/listen/sound_server.h"

#include <QProcess>
#include <QStringList>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

void Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw std::runtime_error("failed: " + program.toStdString() + " " + arguments.join(' ').toStdString());
}

}  // namespace

std::string MakeTestSound(const std::string& directory) {
    const std::string path = directory + "/sound.mp3";
    Run("sox", {"-q", "-n", "-r", "44100", "-c", "2", "-t", "wav", QString::fromStdString(directory + "/sound.wav"),
                "synth", "3", "sine", "440", "gain", "-12"});
    Run("lame", {"--quiet", "-b", "128", QString::fromStdString(directory + "/sound.wav"), QString::fromStdString(path)});
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

CertificateFiles MakeSelfSignedCertificate(const std::string& directory) {
    CertificateFiles files{directory + "/certificate.pem", directory + "/key.pem"};
    Run("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj", "/CN=127.0.0.1",
                    "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", QString::fromStdString(files.key), "-out",
                    QString::fromStdString(files.certificate)});
    return files;
}

SoundServer::SoundServer(std::string sound, const CertificateFiles* tls)
    : sound_(std::move(sound)),
      server_(tls == nullptr ? std::make_unique<httplib::Server>()
                             : std::make_unique<httplib::SSLServer>(tls->certificate.c_str(), tls->key.c_str())),
      scheme_(tls == nullptr ? "http" : "https") {
    for (const char* path : {"/sound.mp3", "/other.mp3"})
        server_->Get(path, [this](const httplib::Request&, httplib::Response& response) {
            response.set_content(sound_, "audio/mpeg");
        });
    // The browser keeps connections open; a short idle time lets the server
    // stop without waiting for them.
    server_->set_keep_alive_timeout(1);
    server_->set_read_timeout(1, 0);
    server_->set_logger([this](const httplib::Request& request, const httplib::Response&) {
        std::lock_guard lock(mutex_);
        targets_.push_back(request.target);
    });
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0) throw std::runtime_error("cannot listen on 127.0.0.1");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // A stop before the listening starts would go unnoticed and the join
    // would wait forever.
    for (int waited = 0; !server_->is_running() && waited < 5000; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

SoundServer::~SoundServer() {
    server_->stop();
    thread_.join();
}

std::string SoundServer::Address(std::string_view path) const {
    return scheme_ + "://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::vector<std::string> SoundServer::Targets() const {
    std::lock_guard lock(mutex_);
    return targets_;
}

bool SoundServer::Received(std::string_view target) const {
    const std::vector<std::string> targets = Targets();
    return std::find(targets.begin(), targets.end(), target) != targets.end();
}

bool SoundServer::WaitFor(std::string_view target) const {
    return QTest::qWaitFor([&] { return Received(target); }, 10000);
}
