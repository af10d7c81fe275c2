// The page fetch against servers that misbehave, and addresses a user may
// mistype: the fetch ends, returns what body it read and fills the
// out-parameters as always. The stall limit is shortened to one second.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/web/loopback_server.h"
#include "web/fetch.h"

namespace {

const std::string kNoHeaders(5000, ' ');

struct Outcome {
    std::string body;
    std::string headers;
    std::string cookies;
};

Outcome Fetch(const std::string& address, Text* suppliedCookies = nullptr) {
    Text headers, cookies;
    const Bytes body = FetchPage(address, {.cookies = suppliedCookies, .returnedCookies = &cookies, .returnedHeaders = &headers});
    return {std::string(body.View()), std::string(headers.View()), std::string(cookies.View())};
}

std::string PseudoRandomBytes(size_t count) {
    std::mt19937 generator(7);
    std::string bytes(count, '\0');
    for (char& byte : bytes) byte = char(generator());
    return bytes;
}

class BadInput : public ::testing::Test {
   protected:
    void SetUp() override { setenv("VARNOKE_HTTP_STALL_SECONDS", "1", 1); }
    void TearDown() override { unsetenv("VARNOKE_HTTP_STALL_SECONDS"); }
};

const std::string kHead10000 = "HTTP/1.1 200 OK\r\nContent-Length: 10000\r\n\r\n";
const std::string kFirstPart(4000, 'b');

TEST_F(BadInput, ServerThatNeverAnswers) {
    LoopbackServer server([](LoopbackConnection& connection) {
        connection.ReadRequest();
        connection.WaitForHangUp();
    });
    const Outcome outcome = Fetch(server.Address("/silent"));
    EXPECT_EQ(outcome.body, "");
    EXPECT_EQ(outcome.headers, kNoHeaders);
    EXPECT_EQ(outcome.cookies, "");
}

TEST_F(BadInput, ServerThatStallsOrResetsMidBody) {
    for (const bool reset : {false, true}) {
        SCOPED_TRACE(reset ? "reset" : "stall");
        LoopbackServer server([reset](LoopbackConnection& connection) {
            connection.ReadRequest();
            connection.Send(kHead10000 + kFirstPart);
            if (!reset) return connection.WaitForHangUp();
            // Give the client time to take the bytes in before the reset discards them.
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            connection.Reset();
        });
        const Outcome outcome = Fetch(server.Address("/partial"));
        EXPECT_EQ(outcome.body, kFirstPart);
        EXPECT_EQ(outcome.headers, "HTTP/1.1 200 OK\r\nContent-Length: 10000\r\n");
    }
}

TEST_F(BadInput, ResponsesThatBreakTheProtocol) {
    struct Case {
        const char* name;
        std::string response;
        std::string body;
        bool headersKept;
    };
    const Case cases[] = {
        {"invalid chunk size", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\nZZ\r\nworld\r\n", "hello",
         true},
        {"garbage instead of a response", PseudoRandomBytes(3000), "", false},
        {"a status line and then garbage", "HTTP/1.1 200 OK\r\n" + PseudoRandomBytes(3000), "", false},
        {"closed before answering", "", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoopbackServer server(LoopbackServer::Replying(c.response));
        const Outcome outcome = Fetch(server.Address("/broken"));
        EXPECT_EQ(outcome.body, c.body);
        if (c.headersKept)
            EXPECT_TRUE(outcome.headers.starts_with("HTTP/1.1 200 OK\r\n")) << outcome.headers;
        else
            EXPECT_EQ(outcome.headers, kNoHeaders);
        EXPECT_EQ(outcome.cookies, "");
    }
}

TEST_F(BadInput, BinaryGarbageBodyComesBackByteForByte) {
    const std::string garbage = PseudoRandomBytes(70000);
    LoopbackServer server(LoopbackServer::Replying(HttpResponse("200 OK", "", garbage)));
    EXPECT_EQ(Fetch(server.Address("/noise")).body, garbage);
    EXPECT_EQ(std::string(FetchPageText(server.Address("/noise")).View()), garbage.substr(0, garbage.find('\0')));
}

TEST_F(BadInput, RedirectLoopEndsAfterTwentyRedirects) {
    LoopbackServer server(LoopbackServer::Replying(HttpResponse("302 Found", "Location: /loop\r\n", "again")));
    const Outcome outcome = Fetch(server.Address("/loop"));
    EXPECT_EQ(outcome.body, "");
    // The headers are those of the last response received.
    EXPECT_TRUE(outcome.headers.starts_with("HTTP/1.1 302 Found\r\nLocation: /loop\r\n")) << outcome.headers;
    EXPECT_EQ(server.Requests().size(), 21u);
}

TEST_F(BadInput, OversizedHeaders) {
    // One header line of 100 KB, and a Set-Cookie header of 20 MB: the HTTP
    // layer refuses a response whose header lines outgrow its limits.
    for (const std::string& line : {"X-Long: " + std::string(100 * 1024, 'h'),
                                    "Set-Cookie: big=" + std::string(20 * 1024 * 1024, 'c')}) {
        SCOPED_TRACE(line.substr(0, 12));
        LoopbackServer server(LoopbackServer::Replying(HttpResponse("200 OK", line + "\r\n", "body")));
        Text supplied = "a = 1";
        const Outcome outcome = Fetch(server.Address("/huge"), &supplied);
        EXPECT_EQ(outcome.body, "");
        EXPECT_EQ(outcome.headers, kNoHeaders);
        EXPECT_EQ(outcome.cookies, "");
        EXPECT_EQ(std::string(supplied.View()), "a=1");
    }
}

TEST_F(BadInput, OddAddressesArePassedOnSafely) {
    struct Case {
        std::string path;
        std::string requestLine;  // empty: nothing reaches the server
    };
    const Case cases[] = {
        {"/a b", "GET /a%20b HTTP/1.1"},
        {"/a\tb\x01\x7F", "GET /a%09b%01%7f HTTP/1.1"},
        {"/page#part?x", "GET /page HTTP/1.1"},
        {"/mail@example/x@y", "GET /mail@example/x@y HTTP/1.1"},
        {"/\xD6\xD0\xCE\xC4?q=\xD6\xD0 x&y=1", "GET /%d6%d0%ce%c4?q=%d6%d0%20x&y=1 HTTP/1.1"},
        {"/a/../b/./c", "GET /a/../b/./c HTTP/1.1"},
        {"/x\r\nX-Injected: 1", "GET /x%0d%0aX-Injected:%201 HTTP/1.1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        LoopbackServer server(LoopbackServer::Replying(HttpResponse("200 OK", "", "seen")));
        EXPECT_EQ(std::string(FetchPageText(server.Address(c.path)).View()), "seen");
        const auto requests = server.Requests();
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].RequestLine(), c.requestLine);
    }
    // Hosts the layer cannot connect to as written: nothing is sent anywhere.
    LoopbackServer server(LoopbackServer::Replying(HttpResponse("200 OK", "", "seen")));
    const std::string port = std::to_string(server.Port());
    const std::vector<std::string> unusable = {"127.0.0.1 :" + port + "/a", "127.0.0.1\x01:" + port + "/a",
                                       "x@127.0.0.1:" + port + "/a", std::string("\xD6\xD0\xCE\xC4.example/a"),
                                       "127.0.0.1:99999/a", "127.0.0.1:-1/a"};
    for (const std::string& address : unusable) {
        SCOPED_TRACE(address);
        EXPECT_EQ(std::string(FetchPageText(address).View()), "");
    }
    EXPECT_TRUE(server.Requests().empty());
}

}  // namespace
