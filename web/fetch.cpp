#include "web/fetch.h"

#include <memory>

#include "platform/wininet.h"
#include "runtime/library.h"
#include "text/between.h"
#include "text/more.h"
#include "text/text.h"
#include "web/cookies.h"
#include "web/url.h"

namespace {

constexpr int32_t kReadChunk = 1024;
constexpr int32_t kHeaderBufferLength = 5000;
const char* const kDefaultAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

struct CloseInternetHandle {
    void operator()(void* handle) const {
        BoundFunction<decltype(InternetCloseHandle)>(kInternetCloseHandle)(handle);
    }
};
using InternetHandle = std::unique_ptr<void, CloseInternetHandle>;

Text AgentText(const Text& extraHeaders) {
    if (FindText(extraHeaders, "User-Agent:", {}, true) == -1) return kDefaultAgent;
    Text agent = TrimBothEnds(TakeBetween(extraHeaders, "User-Agent:", "\r\n"));
    if (TextLength(agent) == 0) agent = ValueAfterColon(extraHeaders);
    return agent;
}

// The caller's header lines followed by each default they do not name.
Text HeaderBlock(Text block, const Text& address, const Text& cookies) {
    if (TextLength(block) == 0)
        block = "Accept: */*";
    else if (FindText(block, "Accept:") == -1)
        block = ConcatText(std::move(block), "\r\nAccept: */*");
    if (FindText(block, "Referer:") == -1) block = ConcatText(std::move(block), "\r\nReferer: ", address);
    if (FindText(block, "Accept-Language:") == -1) block = ConcatText(std::move(block), "\r\nAccept-Language: zh-cn");
    if (FindText(block, "Content-Type:") == -1)
        block = ConcatText(std::move(block), "\r\nContent-Type: application/x-www-form-urlencoded");
    if (TextLength(cookies) > 0) block = ConcatText(std::move(block), "\r\nCookie: ", cookies);
    return block;
}

uint32_t RequestFlags(bool cookiesSupplied, bool noRedirect, bool secure) {
    uint32_t flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NEED_FILE;
    if (cookiesSupplied) flags |= INTERNET_FLAG_NO_COOKIES;
    if (noRedirect) flags |= INTERNET_FLAG_NO_AUTO_REDIRECT;
    flags |= secure ? INTERNET_FLAG_SECURE : INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;
    return flags;
}

Bytes ReadBody(void* request) {
    auto* read = BoundFunction<decltype(InternetReadFile)>(kInternetReadFile);
    Bytes body;
    uint32_t count = 0;
    for (;;) {
        Bytes buffer = BlankBytes(kReadChunk);
        read(request, buffer.MutablePlatformPointer(), kReadChunk, &count);
        if (count == 0) break;
        body = ConcatBytes(std::move(body), BytesLeft(buffer, int32_t(count)));
    }
    return body;
}

// The raw response headers, every "Set-Cookie" name in that letter case;
// 5000 blanks when the layer has none that fit.
Text RawHeaders(void* request) {
    Text buffer = BlankText(kHeaderBufferLength);
    uint32_t length = kHeaderBufferLength;
    BoundFunction<decltype(HttpQueryInfoA)>(kHttpQueryInfoA)(request, HTTP_QUERY_RAW_HEADERS_CRLF,
                                                              buffer.Storage().MutableData(), &length, nullptr);
    return ReplaceSubtext(Text(buffer.CStr()), "Set-Cookie", "Set-Cookie", {}, {}, false);
}

// The "name=value" of every line that holds "Set-Cookie", joined by "; ".
Text CookiesSet(const Text& rawHeaders) {
    const TextArray lines = SplitText(rawHeaders, "\r\n");
    Text cookies;
    for (int32_t i = 1; i <= lines.Count(); ++i) {
        const Text& line = lines[i];
        if (FindText(line, "Set-Cookie") == -1) continue;
        const Text value = FindText(line, ";") == -1 ? ReplaceSubtext(line, "Set-Cookie:", Text(), {}, {}, false)
                                                     : TakeBetween(line, "Set-Cookie:", ";");
        cookies = ConcatText(std::move(cookies), TrimBothEnds(value), "; ");
    }
    return TextLeft(cookies, TextLength(cookies) - 2);
}

}  // namespace

Bytes FetchPage(const Text& address, const FetchOptions& options) {
    Text leftOutHeaders, leftOutReturnedHeaders, leftOutReturnedCookies;
    Bytes leftOutPostBytes;
    Text& extraHeaders = options.extraHeaders != nullptr ? *options.extraHeaders : leftOutHeaders;
    Text& returnedHeaders = options.returnedHeaders != nullptr ? *options.returnedHeaders : leftOutReturnedHeaders;
    Text& returnedCookies = options.returnedCookies != nullptr ? *options.returnedCookies : leftOutReturnedCookies;
    Bytes& postBytes = options.postBytes != nullptr ? *options.postBytes : leftOutPostBytes;
    const bool cookiesSupplied = options.cookies != nullptr;
    const Text noCookies;
    const Text& cookies = cookiesSupplied ? *options.cookies : noCookies;

    const Text verb = options.method == 1 ? "POST" : "GET";
    const bool secure = AddressIsHttps(address);
    const Text agent = AgentText(extraHeaders);
    const Text none = CharFromCode(0);

    Bytes body;
    {
        const bool direct = TextLength(options.proxy) == 0;
        const Text proxyList = secure ? options.proxy : ConcatText("http=", options.proxy);
        InternetHandle root(BoundFunction<decltype(InternetOpenA)>(kInternetOpenA)(
            agent.PlatformPointer(), direct ? INTERNET_OPEN_TYPE_DIRECT : INTERNET_OPEN_TYPE_PROXY,
            direct ? none.PlatformPointer() : proxyList.PlatformPointer(), direct ? none.PlatformPointer() : "", 0));
        if (root == nullptr) return {};
        InternetHandle connection(BoundFunction<decltype(InternetConnectA)>(kInternetConnectA)(
            root.get(), UrlHost(address).PlatformPointer(), UrlPort(address), none.PlatformPointer(),
            none.PlatformPointer(), INTERNET_SERVICE_HTTP, 0, 0));
        if (connection == nullptr) return {};
        InternetHandle request(BoundFunction<decltype(HttpOpenRequestA)>(kHttpOpenRequestA)(
            connection.get(), verb.PlatformPointer(), UrlPath(address).PlatformPointer(), "HTTP/1.1",
            none.PlatformPointer(), nullptr, RequestFlags(cookiesSupplied, options.noRedirect, secure), 0));
        if (request == nullptr) return {};

        extraHeaders = HeaderBlock(std::move(extraHeaders), address, cookies);
        if (options.method == 0) {
            const Text noBody = "";
            BoundFunction<decltype(HttpSendRequestA)>(kHttpSendRequestAWithText)(
                request.get(), extraHeaders.PlatformPointer(), uint32_t(TextLength(extraHeaders)),
                noBody.PlatformPointer(), 0);
        } else {
            if (BytesLength(postBytes) == 0) postBytes = TextToBytes(options.postText);
            BoundFunction<decltype(HttpSendRequestA)>(kHttpSendRequestAWithBytes)(
                request.get(), extraHeaders.PlatformPointer(), uint32_t(TextLength(extraHeaders)),
                postBytes.PlatformPointer(), uint32_t(BytesLength(postBytes)));
        }
        body = ReadBody(request.get());
        returnedHeaders = RawHeaders(request.get());
    }
    returnedCookies = CookiesSet(returnedHeaders);
    if (cookiesSupplied) MergeCookies(*options.cookies, returnedCookies);
    return body;
}

Text FetchPageText(const Text& address) { return BytesToText(FetchPage(address)); }

Text ValueAfterColon(const Text& text) {
    const int32_t colon = FindText(text, ":");
    if (colon == -1) return Text();
    return TrimBothEnds(TextRight(text, TextLength(text) - colon));
}
