#include "tests/web/loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <stdexcept>

namespace {

constexpr int kPollMilliseconds = 50;

// True when the descriptor became readable within the wait; false on timeout.
bool WaitReadable(int fd, int milliseconds) {
    pollfd entry{fd, POLLIN, 0};
    return poll(&entry, 1, milliseconds) > 0;
}

size_t ContentLength(const std::string& head) {
    for (const std::string& line : ReceivedRequest{head, ""}.HeaderLines()) {
        const std::string name = "content-length:";
        if (line.size() < name.size()) continue;
        bool same = true;
        for (size_t i = 0; i < name.size() && same; ++i) same = std::tolower(line[i]) == name[i];
        if (same) return std::stoul(line.substr(name.size()));
    }
    return 0;
}

}  // namespace

std::string ReceivedRequest::RequestLine() const { return head.substr(0, head.find("\r\n")); }

std::vector<std::string> ReceivedRequest::HeaderLines() const {
    std::vector<std::string> lines;
    size_t start = head.find("\r\n");
    while (start != std::string::npos && start + 2 < head.size()) {
        const size_t end = head.find("\r\n", start + 2);
        lines.push_back(head.substr(start + 2, end - start - 2));
        start = end;
    }
    return lines;
}

std::optional<ReceivedRequest> LoopbackConnection::ReadRequest() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    ReceivedRequest request;
    size_t headEnd;
    while ((headEnd = unread_.find("\r\n\r\n")) == std::string::npos ||
           unread_.size() < headEnd + 4 + ContentLength(unread_.substr(0, headEnd + 2))) {
        if (std::chrono::steady_clock::now() > deadline || server_.Stopping()) return std::nullopt;
        if (!WaitReadable(fd_, kPollMilliseconds)) continue;
        char buffer[65536];
        const ssize_t count = recv(fd_, buffer, sizeof buffer, 0);
        if (count <= 0) return std::nullopt;
        unread_.append(buffer, size_t(count));
    }
    request.head = unread_.substr(0, headEnd + 2);
    const size_t bodyLength = ContentLength(request.head);
    request.body = unread_.substr(headEnd + 4, bodyLength);
    unread_.erase(0, headEnd + 4 + bodyLength);
    server_.Record(request);
    return request;
}

bool LoopbackConnection::Send(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t count = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (count <= 0) return false;
        bytes.remove_prefix(size_t(count));
    }
    return true;
}

void LoopbackConnection::WaitForHangUp() {
    while (!server_.Stopping()) {
        if (!WaitReadable(fd_, kPollMilliseconds)) continue;
        char buffer[4096];
        if (recv(fd_, buffer, sizeof buffer, 0) <= 0) return;
    }
}

void LoopbackConnection::Reset() {
    const linger abort{1, 0};
    setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    shutdown(fd_, SHUT_RDWR);
}

LoopbackServer::LoopbackServer(Handler handler) : handler_(std::move(handler)) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 16) != 0 || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

LoopbackServer::~LoopbackServer() {
    stopping_ = true;
    thread_.join();
    close(listener_);
}

LoopbackServer::Handler LoopbackServer::Replying(std::function<std::string(const ReceivedRequest&)> reply) {
    return [reply = std::move(reply)](LoopbackConnection& connection) {
        if (const std::optional<ReceivedRequest> request = connection.ReadRequest()) connection.Send(reply(*request));
    };
}

LoopbackServer::Handler LoopbackServer::Replying(std::string response) {
    return Replying([response = std::move(response)](const ReceivedRequest&) { return response; });
}

std::string LoopbackServer::Address(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::vector<ReceivedRequest> LoopbackServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void LoopbackServer::Record(ReceivedRequest request) {
    std::lock_guard lock(mutex_);
    requests_.push_back(std::move(request));
}

void LoopbackServer::Serve() {
    while (!stopping_) {
        if (!WaitReadable(listener_, kPollMilliseconds)) continue;
        const int fd = accept(listener_, nullptr, nullptr);
        if (fd < 0) continue;
        LoopbackConnection connection(fd, *this);
        handler_(connection);
        close(fd);
    }
}

std::string HttpResponse(std::string_view status, std::string_view headerLines, std::string_view body) {
    return "HTTP/1.1 " + std::string(status) + "\r\n" + std::string(headerLines) +
           "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + std::string(body);
}
