// The page fetch against real servers on 127.0.0.1: what reaches the wire,
// what comes back, and what the out-parameters hold afterwards.
#include "web/fetch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <string>
#include <vector>

#include "tests/web/loopback_server.h"
#include "tests/web/tls_peer.h"
#include "text/text.h"

namespace {

using Lines = std::vector<std::string>;

const std::string kAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
const std::string kFormType = "Content-Type: application/x-www-form-urlencoded";
const std::string kNoHeaders(5000, ' ');

std::string String(const Bytes& bytes) { return std::string(bytes.View()); }
std::string String(const Text& text) { return std::string(text.View()); }

std::string Authority(const LoopbackServer& server) { return "127.0.0.1:" + std::to_string(server.Port()); }

Lines DefaultHeaderLines(const LoopbackServer& server, const std::string& address) {
    return {"Host: " + Authority(server), "User-Agent: " + kAgent, "Accept: */*", "Referer: " + address,
            "Accept-Language: zh-cn", kFormType};
}

// A server that answers every request with "<verb> <target>" as the body.
LoopbackServer::Handler EchoingRequestLine() {
    return LoopbackServer::Replying(
        [](const ReceivedRequest& request) { return HttpResponse("200 OK", "", request.RequestLine()); });
}

TEST(FetchPageText, TheParseCommandsRequestIsExactlyTheDefaultOne) {
    LoopbackServer server(LoopbackServer::Replying(HttpResponse("200 OK", "", "<html>page</html>")));
    // Written without a scheme, as a user may paste it: the Referer repeats it as written.
    const std::string address = Authority(server) + "/a?b=1";
    EXPECT_EQ(String(FetchPageText(address)), "<html>page</html>");
    const std::string upper = "HTTP://" + Authority(server) + "/Sound/AbC?X=Y";
    EXPECT_EQ(String(FetchPageText(upper)), "<html>page</html>");

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].RequestLine(), "GET /a?b=1 HTTP/1.1");
    EXPECT_EQ(requests[0].HeaderLines(), DefaultHeaderLines(server, address));
    EXPECT_EQ(requests[0].body, "");
    EXPECT_EQ(requests[1].RequestLine(), "GET /Sound/AbC?X=Y HTTP/1.1");
    EXPECT_EQ(requests[1].HeaderLines(), DefaultHeaderLines(server, upper));
}

TEST(FetchPage, OutParametersHoldTheBlockSentTheRawHeadersAndTheCookiesSet) {
    LoopbackServer server(LoopbackServer::Replying(HttpResponse(
        "200 OK", "set-cookie: s=9; Path=/out\r\nSet-Cookie: flag\r\nVary: Set-Cookie\r\nSET-COOKIE:t=1;x\r\n",
        "ok")));
    const std::string address = server.Address("/out/page");
    Text sent, headers, cookiesSet;
    const Bytes body = FetchPage(address, {.returnedCookies = &cookiesSet, .extraHeaders = &sent, .returnedHeaders = &headers});
    EXPECT_EQ(String(body), "ok");
    EXPECT_EQ(String(sent), "Accept: */*\r\nReferer: " + address + "\r\nAccept-Language: zh-cn\r\n" + kFormType);
    // Every "Set-Cookie" name, in any letter case, comes back in one case.
    EXPECT_EQ(String(headers),
              "HTTP/1.1 200 OK\r\nSet-Cookie: s=9; Path=/out\r\nSet-Cookie: flag\r\nVary: Set-Cookie\r\n"
              "Set-Cookie:t=1;x\r\nContent-Length: 2\r\nConnection: close\r\n");
    // A line that merely names the header contributes itself, trimmed.
    EXPECT_EQ(String(cookiesSet), "s=9; flag; Vary: Set-Cookie; t=1");
}

TEST(FetchPage, ResponseHeadersFitInUpTo4999Bytes) {
    // The block the server sends is the status line, the padding line and
    // the two closing lines, each with "\r\n".
    const std::string fixed = "HTTP/1.1 200 OK\r\nX-Pad: \r\nSet-Cookie: z=1; Path=/big\r\nContent-Length: 4\r\nConnection: close\r\n";
    for (const size_t blockLength : {size_t(4999), size_t(5000)}) {
        SCOPED_TRACE(blockLength);
        const std::string pad(blockLength - fixed.size(), 'p');
        LoopbackServer server(LoopbackServer::Replying(
            HttpResponse("200 OK", "X-Pad: " + pad + "\r\nSet-Cookie: z=1; Path=/big\r\n", "body")));
        Text headers, cookiesSet;
        const Bytes body = FetchPage(server.Address("/big/x"), {.returnedCookies = &cookiesSet, .returnedHeaders = &headers});
        EXPECT_EQ(String(body), "body");
        if (blockLength == 4999) {
            EXPECT_EQ(TextLength(headers), 4999);
            EXPECT_EQ(String(cookiesSet), "z=1");
        } else {
            EXPECT_EQ(String(headers), kNoHeaders);
            EXPECT_EQ(String(cookiesSet), "");
        }
    }
}

TEST(FetchPage, ErrorPagesAndBodiesWithZeroBytesComeBackWhole) {
    const std::string binary("a\0b\xFF\x00z", 6);
    LoopbackServer server(LoopbackServer::Replying([&](const ReceivedRequest& request) {
        if (request.RequestLine().starts_with("GET /missing"))
            return HttpResponse("404 Not Found", "Content-Type: text/html\r\n", "<h1>not here</h1>");
        return HttpResponse("200 OK", "", binary);
    }));
    EXPECT_EQ(String(FetchPageText(server.Address("/missing"))), "<h1>not here</h1>");
    EXPECT_EQ(String(FetchPage(server.Address("/binary"))), binary);
    EXPECT_EQ(String(FetchPageText(server.Address("/binary"))), "a");
}

TEST(FetchPage, BodiesAreReadWholeAcrossManyPiecesAndChunkedCodingIsUndone) {
    std::string large;
    for (int i = 0; large.size() < 300000; ++i) large += std::to_string(i) + ",";
    LoopbackServer server(LoopbackServer::Replying([&](const ReceivedRequest& request) {
        if (request.RequestLine().starts_with("GET /large")) return HttpResponse("200 OK", "", large);
        return std::string("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
                           "5\r\nhello\r\n6\r\n world\r\n0\r\n\r\n");
    }));
    EXPECT_EQ(String(FetchPage(server.Address("/large"))), large);
    EXPECT_EQ(String(FetchPage(server.Address("/chunked"))), "hello world");
}

TEST(FetchPage, RedirectsAreFollowedUnlessRefused) {
    LoopbackServer server(LoopbackServer::Replying([](const ReceivedRequest& request) {
        if (request.RequestLine().starts_with("GET /from"))
            return HttpResponse("302 Found", "Location: /to\r\n", "moved");
        return HttpResponse("200 OK", "", "arrived");
    }));
    Text headers;
    EXPECT_EQ(String(FetchPage(server.Address("/from"), {.returnedHeaders = &headers})), "arrived");
    EXPECT_TRUE(String(headers).starts_with("HTTP/1.1 200 OK\r\n")) << String(headers);
    EXPECT_EQ(String(FetchPage(server.Address("/from"), {.returnedHeaders = &headers, .noRedirect = true})), "moved");
    EXPECT_TRUE(String(headers).starts_with("HTTP/1.1 302 Found\r\nLocation: /to\r\n")) << String(headers);
    EXPECT_EQ(server.Requests().size(), 3u);
}

TEST(FetchPage, BodiesAndVerbs) {
    LoopbackServer server(EchoingRequestLine());
    // method 1: POST with postText, which then also stands in postBytes.
    Bytes postBytes;
    EXPECT_EQ(String(FetchPage(server.Address("/form"), {.method = 1, .postText = "abc", .postBytes = &postBytes})),
              "POST /form HTTP/1.1");
    EXPECT_EQ(String(postBytes), "abc");
    // Given postBytes win over postText and may hold zero bytes.
    Bytes given(std::string_view("x\0y", 3));
    FetchPage(server.Address("/form"), {.method = 1, .postText = "ignored", .postBytes = &given});
    // method 2: the verb GET with a body.
    FetchPage(server.Address("/query"), {.method = 2, .postText = "q=1"});
    // method 0 sends no body whatever is given.
    FetchPage(server.Address("/plain"), {.method = 0, .postText = "unsent"});
    // POST with nothing to send.
    FetchPage(server.Address("/empty"), {.method = 1});

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_EQ(requests[0].body, "abc");
    EXPECT_EQ(requests[1].body, std::string("x\0y", 3));
    EXPECT_EQ(String(given), std::string("x\0y", 3));
    EXPECT_EQ(requests[2].RequestLine(), "GET /query HTTP/1.1");
    EXPECT_EQ(requests[2].body, "q=1");
    EXPECT_EQ(requests[3].RequestLine(), "GET /plain HTTP/1.1");
    EXPECT_EQ(requests[3].body, "");
    EXPECT_EQ(requests[4].RequestLine(), "POST /empty HTTP/1.1");
    for (const ReceivedRequest& request : {requests[0], requests[2], requests[4]}) {
        const Lines lines = request.HeaderLines();
        EXPECT_NE(std::find(lines.begin(), lines.end(), "Content-Length: " + std::to_string(request.body.size())),
                  lines.end())
            << request.head;
        EXPECT_NE(std::find(lines.begin(), lines.end(), kFormType), lines.end()) << request.head;
        for (const std::string& line : lines) EXPECT_FALSE(line.starts_with("Expect")) << line;
    }
}

TEST(FetchPage, CallerHeadersAndTheAgent) {
    LoopbackServer server(EchoingRequestLine());
    const std::string address = server.Address("/h");
    // A lone agent line without a break: the text after its colon is the agent.
    Text probe = "User-Agent: Probe";
    FetchPage(address, {.extraHeaders = &probe});
    EXPECT_EQ(String(probe),
              "User-Agent: Probe\r\nAccept: */*\r\nReferer: " + address + "\r\nAccept-Language: zh-cn\r\n" + kFormType);
    // A caller line keeps out a default only when written in exactly its case.
    Text lowerAccept = "accept: text/html\r\nReferer: http://elsewhere.example/\r\nX-Tag: 1";
    FetchPage(address, {.extraHeaders = &lowerAccept});
    EXPECT_EQ(String(lowerAccept), "accept: text/html\r\nReferer: http://elsewhere.example/\r\nX-Tag: 1"
                                   "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n" + kFormType);
    // An agent line in the middle of the block ends at its line break.
    Text middle = "X-A: 1\r\nUser-Agent:  Tool/2 \r\nX-B: 2";
    FetchPage(address, {.extraHeaders = &middle});

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].HeaderLines(),
              (Lines{"Host: " + Authority(server), "User-Agent: Probe", "Accept: */*", "Referer: " + address,
                     "Accept-Language: zh-cn", kFormType}));
    EXPECT_EQ(requests[1].HeaderLines(),
              (Lines{"Host: " + Authority(server), "User-Agent: " + kAgent, "accept: text/html",
                     "Referer: http://elsewhere.example/", "X-Tag: 1", "Accept: */*", "Accept-Language: zh-cn",
                     kFormType}));
    const Lines third = requests[2].HeaderLines();
    EXPECT_EQ(std::count(third.begin(), third.end(), "User-Agent:  Tool/2 "), 1) << requests[2].head;
    EXPECT_EQ(std::count_if(third.begin(), third.end(), [](const std::string& line) { return line.starts_with("User-Agent"); }), 1);
}

TEST(FetchPage, SuppliedCookiesAreSentAloneAndMergedWithWhatTheResponseSet) {
    LoopbackServer server(LoopbackServer::Replying([](const ReceivedRequest& request) {
        if (request.RequestLine().starts_with("GET /c/set"))
            return HttpResponse("200 OK", "Set-Cookie: b=2; Path=/c\r\nSet-Cookie: a=deleted; Path=/c\r\n", "set");
        return HttpResponse("200 OK", "", "plain");
    }));
    Text cookies = "a=1; keep = x", cookiesSet;
    FetchPage(server.Address("/c/set"), {.cookies = &cookies, .returnedCookies = &cookiesSet});
    EXPECT_EQ(String(cookies), "b=2; keep=x");
    EXPECT_EQ(String(cookiesSet), "b=2;a=deleted");  // the merge took its spaces out
    // Supplied but empty: no Cookie line, and the response's cookies are merged in.
    Text empty;
    FetchPage(server.Address("/c/set"), {.cookies = &empty});
    EXPECT_EQ(String(empty), "b=2");
    // No Set-Cookie at all: the text still passes through the merge.
    Text repeated = "a = 1; a=2; c=3";
    FetchPage(server.Address("/c/plain"), {.cookies = &repeated});
    EXPECT_EQ(String(repeated), "a=1; c=3");
    // The cookies of those responses were not kept by the HTTP layer.
    FetchPage(server.Address("/c/after"));

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 4u);
    auto cookieLines = [](const ReceivedRequest& request) {
        Lines found;
        for (const std::string& line : request.HeaderLines())
            if (line.starts_with("Cookie")) found.push_back(line);
        return found;
    };
    EXPECT_EQ(cookieLines(requests[0]), Lines{"Cookie: a=1; keep = x"});
    EXPECT_EQ(requests[0].HeaderLines().back(), "Cookie: a=1; keep = x");
    EXPECT_EQ(cookieLines(requests[1]), Lines{});
    EXPECT_EQ(cookieLines(requests[2]), Lines{"Cookie: a = 1; a=2; c=3"});
    EXPECT_EQ(cookieLines(requests[3]), Lines{});
}

TEST(FetchPage, WithoutSuppliedCookiesTheLayerKeepsThemForLaterRequests) {
    LoopbackServer server(LoopbackServer::Replying([](const ReceivedRequest& request) {
        if (request.RequestLine().starts_with("GET /store/set"))
            return HttpResponse("200 OK", "Set-Cookie: k=7; Path=/store\r\n", "set");
        return HttpResponse("200 OK", "", "plain");
    }));
    FetchPage(server.Address("/store/set"));
    FetchPage(server.Address("/store/again"));
    Text supplied = "own=1";
    FetchPage(server.Address("/store/own"), {.cookies = &supplied});

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    const Lines again = requests[1].HeaderLines();
    EXPECT_NE(std::find(again.begin(), again.end(), "Cookie: k=7"), again.end()) << requests[1].head;
    const Lines own = requests[2].HeaderLines();
    EXPECT_EQ(std::count_if(own.begin(), own.end(), [](const std::string& line) { return line.starts_with("Cookie"); }), 1);
    EXPECT_EQ(own.back(), "Cookie: own=1");
}

TEST(FetchPage, HttpsInCapitalsRefusesAServerWhoseCertificateIsNotTrusted) {
    const SelfSignedCertificate certificate;
    std::promise<std::string> outcome;
    LoopbackServer server(TlsHandshake(certificate, [&](const std::string& how) { outcome.set_value(how); }));
    const std::string address = "HTTPS://" + Authority(server) + "/Secure/Page";
    Text headers, cookiesSet = "untouched?";
    const Bytes body = FetchPage(address, {.returnedCookies = &cookiesSet, .returnedHeaders = &headers});
    EXPECT_EQ(String(body), "");
    EXPECT_EQ(String(headers), kNoHeaders);
    EXPECT_EQ(String(cookiesSet), "");
    auto how = outcome.get_future();
    ASSERT_EQ(how.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    // The certificate names 127.0.0.1 rightly; the client refused it as untrusted.
    EXPECT_EQ(how.get(), "tlsv1 alert unknown ca");
}

TEST(FetchPage, AnUnresolvableHostGivesTheEmptyPage) {
    // A label over 63 bytes fails in the resolver itself, so no query leaves the machine.
    const std::string host = std::string(70, 'a') + ".invalid";
    EXPECT_EQ(String(FetchPageText("http://" + host + "/page")), "");
    Text headers;
    EXPECT_EQ(String(FetchPage(host, {.returnedHeaders = &headers})), "");
    EXPECT_EQ(String(headers), kNoHeaders);
}

TEST(FetchPage, ThroughAProxy) {
    // The proxy answers itself; the origin host is never resolved here.
    LoopbackServer proxy(LoopbackServer::Replying([](const ReceivedRequest& request) {
        if (request.RequestLine().starts_with("CONNECT")) return HttpResponse("403 Forbidden", "", "");
        return HttpResponse("200 OK", "", "via proxy");
    }));
    const Text proxyAddress(Authority(proxy));
    EXPECT_EQ(String(FetchPage("echo.example/sound/1?x=1", {.proxy = proxyAddress})), "via proxy");
    EXPECT_EQ(String(FetchPage("https://echo.example/sound/2", {.proxy = proxyAddress})), "");

    const auto requests = proxy.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].RequestLine(), "GET http://echo.example/sound/1?x=1 HTTP/1.1");
    const Lines lines = requests[0].HeaderLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Host: echo.example"), lines.end()) << requests[0].head;
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Referer: echo.example/sound/1?x=1"), lines.end());
    // An https address tunnels through the proxy to port 443.
    EXPECT_EQ(requests[1].RequestLine(), "CONNECT echo.example:443 HTTP/1.1");
}

TEST(FetchPage, ARequestThatCannotBeSetUpLeavesEveryOutParameterUntouched) {
    LoopbackServer server(EchoingRequestLine());
    // No host at all, and a host the HTTP layer cannot take ("@" is no
    // host character; nothing here splits off a user name).
    for (const std::string& address : {std::string(""), std::string("http://"),
                                       "http://user@" + Authority(server) + "/a"}) {
        SCOPED_TRACE(address);
        Text cookies = "c=1;  c=2", cookiesSet = "set", sent = "X: 1", headers = "old";
        Bytes postBytes;
        const Bytes body = FetchPage(address, {.method = 1, .postText = "p", .cookies = &cookies,
                                               .returnedCookies = &cookiesSet, .extraHeaders = &sent,
                                               .returnedHeaders = &headers, .postBytes = &postBytes});
        EXPECT_EQ(String(body), "");
        EXPECT_EQ(String(cookies), "c=1;  c=2");
        EXPECT_EQ(String(cookiesSet), "set");
        EXPECT_EQ(String(sent), "X: 1");
        EXPECT_EQ(String(headers), "old");
        EXPECT_TRUE(postBytes.IsAbsent());
    }
    EXPECT_TRUE(server.Requests().empty());
}

TEST(ValueAfterColon, TrimmedTextAfterTheFirstColon) {
    EXPECT_EQ(String(ValueAfterColon("User-Agent:  Probe ")), "Probe");
    EXPECT_EQ(String(ValueAfterColon("a:b:c")), "b:c");
    EXPECT_EQ(String(ValueAfterColon("no colon")), "");
    EXPECT_EQ(String(ValueAfterColon("ends:")), "");
    EXPECT_EQ(String(ValueAfterColon(Text())), "");
}

}  // namespace
