// A real TCP peer for the web tests: a server on 127.0.0.1, on a port the
// system picks, that hands each connection to a handler on its own thread,
// one connection at a time, and records every request it reads.
//
//   LoopbackServer server(LoopbackServer::Replying(HttpResponse("200 OK", "", "hi")));
//   FetchPageText(server.Address("/page"));            // "hi"
//   server.Requests()[0].head;                          // "GET /page HTTP/1.1\r\n..."
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

struct ReceivedRequest {
    std::string head;  // request line and header lines, each ending "\r\n", without the blank line
    std::string body;  // as many bytes as Content-Length announced

    std::string RequestLine() const;
    // The header lines after the request line, without their "\r\n".
    std::vector<std::string> HeaderLines() const;
};

class LoopbackServer;

class LoopbackConnection {
   public:
    LoopbackConnection(int fd, LoopbackServer& server) : fd_(fd), server_(server) {}
    // Reads one request and records it; nothing when the peer hangs up first
    // or sends no complete head within five seconds.
    std::optional<ReceivedRequest> ReadRequest();
    // False once the peer is gone.
    bool Send(std::string_view bytes);
    // Returns when the peer closes the connection or the server stops.
    void WaitForHangUp();
    // Aborts the connection: the peer sees a reset, not an orderly close.
    void Reset();
    int Descriptor() const { return fd_; }

   private:
    int fd_;
    LoopbackServer& server_;
    std::string unread_;
};

class LoopbackServer {
   public:
    using Handler = std::function<void(LoopbackConnection&)>;

    explicit LoopbackServer(Handler handler);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // A handler that reads one request, sends what `reply` makes of it and
    // closes the connection.
    static Handler Replying(std::function<std::string(const ReceivedRequest&)> reply);
    static Handler Replying(std::string response);

    int Port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by the path.
    std::string Address(std::string_view path) const;
    std::vector<ReceivedRequest> Requests() const;
    bool Stopping() const { return stopping_; }

   private:
    friend class LoopbackConnection;
    void Record(ReceivedRequest request);
    void Serve();

    Handler handler_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_ = false;
    mutable std::mutex mutex_;
    std::vector<ReceivedRequest> requests_;
    std::thread thread_;
};

// A complete response: "HTTP/1.1 <status>", the header lines (each ending
// "\r\n"), Content-Length and "Connection: close", then the body.
std::string HttpResponse(std::string_view status, std::string_view headerLines, std::string_view body);
