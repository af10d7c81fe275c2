// The HTTP layer's own contracts, driven through its seven operations
// against servers on 127.0.0.1.
#include "platform/wininet.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstring>
#include <future>
#include <memory>
#include <mutex>
#include <string>

#include "tests/web/loopback_server.h"
#include "tests/web/tls_peer.h"

namespace {

struct Closer {
    void operator()(void* handle) const { InternetCloseHandle(handle); }
};
using Handle = std::unique_ptr<void, Closer>;

constexpr uint32_t kPlainFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NEED_FILE | INTERNET_FLAG_NO_COOKIES;

Handle OpenDirect() { return Handle(InternetOpenA("Layer/1", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0)); }

Handle Request(void* root, int port, const char* path, uint32_t flags = kPlainFlags) {
    Handle connection(InternetConnectA(root, "127.0.0.1", port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    // The request outlives its connection handle: it keeps what it needs.
    return Handle(HttpOpenRequestA(connection.get(), "GET", path, "HTTP/1.1", nullptr, nullptr, flags, 0));
}

std::string ReadAll(void* request) {
    std::string body;
    char buffer[1024];
    uint32_t count = 0;
    while (InternetReadFile(request, buffer, sizeof buffer, &count) && count > 0) body.append(buffer, count);
    return body;
}

std::string Get(void* root, int port, const char* path, uint32_t flags = kPlainFlags) {
    Handle request = Request(root, port, path, flags);
    if (request == nullptr) return "no request";
    HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0);
    return ReadAll(request.get());
}

TEST(HttpLayer, RefusesHandlesItDidNotGiveOutOrHasClosed) {
    int notAHandle = 0;
    uint32_t count = 7, length = 10;
    char buffer[10];
    EXPECT_EQ(InternetConnectA(&notAHandle, "127.0.0.1", 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0), nullptr);
    EXPECT_EQ(InternetReadFile(&notAHandle, buffer, sizeof buffer, &count), 0);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(HttpQueryInfoA(nullptr, HTTP_QUERY_RAW_HEADERS_CRLF, buffer, &length, nullptr), 0);
    EXPECT_EQ(InternetCloseHandle(nullptr), 0);

    void* root = InternetOpenA("a", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(InternetCloseHandle(root), 1);
    EXPECT_EQ(InternetCloseHandle(root), 0);
    EXPECT_EQ(InternetConnectA(root, "127.0.0.1", 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0), nullptr);

    // A handle of the wrong kind is refused too.
    Handle direct = OpenDirect();
    EXPECT_EQ(HttpOpenRequestA(direct.get(), "GET", "/", "HTTP/1.1", nullptr, nullptr, 0, 0), nullptr);
    EXPECT_EQ(InternetOpenA("a", INTERNET_OPEN_TYPE_PROXY, "", nullptr, 0), nullptr);
    EXPECT_EQ(InternetOpenA("a", 0, nullptr, nullptr, 0), nullptr);
}

TEST(HttpLayer, ClosingTheParentsFirstLeavesTheRequestWorking) {
    LoopbackServer server(LoopbackServer::Replying(HttpResponse("200 OK", "", "still here")));
    Handle root = OpenDirect();
    Handle request = Request(root.get(), server.Port(), "/p");
    root.reset();
    ASSERT_NE(request, nullptr);
    EXPECT_EQ(HttpSendRequestA(request.get(), "X-A: 1", 6, nullptr, 0), 1);
    EXPECT_EQ(ReadAll(request.get()), "still here");
    // Reading past the end keeps giving 0 bytes.
    char buffer[8];
    uint32_t count = 5;
    EXPECT_EQ(InternetReadFile(request.get(), buffer, sizeof buffer, &count), 1);
    EXPECT_EQ(count, 0u);
}

TEST(HttpLayer, RawHeadersFailWithoutTouchingABufferTheyDoNotFit) {
    LoopbackServer server(LoopbackServer::Replying("HTTP/1.1 200 OK\r\nX-A: 1\nContent-Length: 0\r\n\r\n"));
    const std::string expected = "HTTP/1.1 200 OK\r\nX-A: 1\r\nContent-Length: 0\r\n";
    Handle root = OpenDirect();
    Handle request = Request(root.get(), server.Port(), "/h");
    char buffer[100];
    uint32_t length = sizeof buffer;
    // Before the request is sent there are none.
    EXPECT_EQ(HttpQueryInfoA(request.get(), HTTP_QUERY_RAW_HEADERS_CRLF, buffer, &length, nullptr), 0);
    HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0);
    ReadAll(request.get());

    std::memset(buffer, '#', sizeof buffer);
    length = uint32_t(expected.size());
    EXPECT_EQ(HttpQueryInfoA(request.get(), HTTP_QUERY_RAW_HEADERS_CRLF, buffer, &length, nullptr), 0);
    EXPECT_EQ(length, expected.size() + 1);
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, '#'));

    EXPECT_EQ(HttpQueryInfoA(request.get(), HTTP_QUERY_RAW_HEADERS_CRLF, buffer, &length, nullptr), 1);
    EXPECT_EQ(length, expected.size());
    EXPECT_EQ(std::string(buffer), expected);
    EXPECT_EQ(buffer[expected.size() + 1], '#');
    // Only the raw header block is offered.
    length = sizeof buffer;
    EXPECT_EQ(HttpQueryInfoA(request.get(), 21, buffer, &length, nullptr), 0);
}

TEST(HttpLayer, TheBodyArrivesAsItIsRead) {
    // The server holds back the second half until the client has read the
    // first: a layer that gathered the body before handing it out would
    // never see the second half.
    std::mutex mutex;
    std::condition_variable changed;
    bool firstHalfRead = false;
    const std::string half(50000, 'x');
    LoopbackServer server([&](LoopbackConnection& connection) {
        connection.ReadRequest();
        connection.Send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + half);
        std::unique_lock lock(mutex);
        if (changed.wait_for(lock, std::chrono::seconds(10), [&] { return firstHalfRead; }))
            connection.Send(std::string(50000, 'y'));
    });
    Handle root = OpenDirect();
    Handle request = Request(root.get(), server.Port(), "/stream");
    HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0);
    std::string body;
    char buffer[1024];
    uint32_t count = 0;
    while (body.size() < half.size() && InternetReadFile(request.get(), buffer, sizeof buffer, &count) && count > 0)
        body.append(buffer, count);
    EXPECT_EQ(body, half);
    {
        std::lock_guard lock(mutex);
        firstHalfRead = true;
    }
    changed.notify_all();
    EXPECT_EQ(body + ReadAll(request.get()), half + std::string(50000, 'y'));
}

TEST(HttpLayer, ProxyListNotation) {
    LoopbackServer proxy(LoopbackServer::Replying(HttpResponse("200 OK", "", "proxy")));
    LoopbackServer origin(LoopbackServer::Replying(HttpResponse("200 OK", "", "origin")));
    const std::string at = "127.0.0.1:" + std::to_string(proxy.Port());
    struct Case {
        std::string list;
        std::string answeredBy;
    };
    const Case cases[] = {
        {at, "proxy"},
        {"http=" + at, "proxy"},
        {"https=127.0.0.1:1 http=" + at, "proxy"},
        {"ftp=127.0.0.1:1;" + at, "proxy"},
        // An entry for http wins over one for every scheme.
        {"127.0.0.1:1; http=" + at, "proxy"},
        // A list without an entry for http leaves http requests direct.
        {"https=" + at, "origin"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        Handle root(InternetOpenA("Layer/1", INTERNET_OPEN_TYPE_PROXY, c.list.c_str(), "", 0));
        EXPECT_EQ(Get(root.get(), origin.Port(), "/p"), c.answeredBy);
    }
    // The bypass list names hosts that do not use the proxy.
    Handle bypassing(InternetOpenA("Layer/1", INTERNET_OPEN_TYPE_PROXY, at.c_str(), "localhost;127.0.0.1", 0));
    EXPECT_EQ(Get(bypassing.get(), origin.Port(), "/p"), "origin");
}

TEST(HttpLayer, RedirectToHttpsOnlyWhenAllowed) {
    const SelfSignedCertificate certificate;
    std::promise<std::string> outcome;
    LoopbackServer secure(TlsHandshake(certificate, [&](const std::string& how) { outcome.set_value(how); }));
    const std::string target = "https://127.0.0.1:" + std::to_string(secure.Port()) + "/s";
    LoopbackServer plain(LoopbackServer::Replying(HttpResponse("302 Found", "Location: " + target + "\r\n", "moved")));
    Handle root = OpenDirect();
    EXPECT_EQ(Get(root.get(), plain.Port(), "/r"), "");
    EXPECT_EQ(Get(root.get(), plain.Port(), "/r", kPlainFlags | INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS), "");
    // Only the allowed redirect reached the TLS server, which the client then
    // refused for its certificate.
    auto how = outcome.get_future();
    ASSERT_EQ(how.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(how.get(), "tlsv1 alert unknown ca");
    EXPECT_EQ(plain.Requests().size(), 2u);
}

TEST(HttpLayer, NoContentCodingIsAskedForOrUndone) {
    static constexpr char kCoded[] = "\x1f\x8b\x08\x00 not really gzip";
    const std::string coded(kCoded, sizeof kCoded - 1);
    LoopbackServer server(LoopbackServer::Replying(HttpResponse("200 OK", "Content-Encoding: gzip\r\n", coded)));
    Handle root = OpenDirect();
    EXPECT_EQ(Get(root.get(), server.Port(), "/z"), coded);
    const auto lines = server.Requests().at(0).HeaderLines();
    EXPECT_EQ(lines, (std::vector<std::string>{"Host: 127.0.0.1:" + std::to_string(server.Port()),
                                               "User-Agent: Layer/1", "Accept: */*"}));
}

TEST(HttpLayer, VerbReferrerAndAcceptTypes) {
    LoopbackServer server(LoopbackServer::Replying("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n"));
    Handle root = OpenDirect();
    Handle connection(InternetConnectA(root.get(), "127.0.0.1", server.Port(), nullptr, nullptr,
                                       INTERNET_SERVICE_HTTP, 0, 0));
    const char* const types[] = {"text/html", "image/png", nullptr};
    Handle request(HttpOpenRequestA(connection.get(), "HEAD", "/v", "HTTP/1.1", "http://from.example/",
                                    types, kPlainFlags, 0));
    EXPECT_EQ(HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0), 1);
    // A HEAD response announces a body it does not carry: the read ends at once, and well.
    char buffer[16];
    uint32_t count = 9;
    EXPECT_EQ(InternetReadFile(request.get(), buffer, sizeof buffer, &count), 1);
    EXPECT_EQ(count, 0u);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].RequestLine(), "HEAD /v HTTP/1.1");
    EXPECT_EQ(requests[0].HeaderLines(),
              (std::vector<std::string>{"Host: 127.0.0.1:" + std::to_string(server.Port()), "User-Agent: Layer/1",
                                        "Referer: http://from.example/", "Accept: text/html, image/png"}));
}

TEST(HttpLayer, LineBreaksOfAnyKindEndHeaderLines) {
    LoopbackServer server(LoopbackServer::Replying(HttpResponse("200 OK", "", "")));
    Handle root(InternetOpenA("Agent\r\nX-Agent: injected", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    Handle request = Request(root.get(), server.Port(), "/h");
    const std::string block = "X-A: 1\nX-B: 2\rX-Empty:\r\n\r\nAccept: text/plain";
    HttpSendRequestA(request.get(), block.c_str(), uint32_t(block.size()), nullptr, 0);
    ReadAll(request.get());
    EXPECT_EQ(server.Requests().at(0).HeaderLines(),
              (std::vector<std::string>{"Host: 127.0.0.1:" + std::to_string(server.Port()),
                                        "User-Agent: AgentX-Agent: injected", "X-A: 1", "X-B: 2", "X-Empty:",
                                        "Accept: text/plain"}));
}

}  // namespace
