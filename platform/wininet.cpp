// The HTTP layer on libcurl's multi interface. A request handle owns one
// easy handle in a multi handle of its own; the transfer runs only inside
// HttpSendRequestA and InternetReadFile, on the caller's thread. The body is
// never gathered here: the write callback keeps at most one piece that
// libcurl delivered and pauses the transfer until the caller has read it.
#include "platform/wininet.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace {

using Clock = std::chrono::steady_clock;

constexpr long kConnectSeconds = 15;
constexpr int kDefaultStallSeconds = 30;
constexpr long kMaxRedirects = 20;
constexpr long kDefaultProxyPort = 80;
// libcurl's receive buffer: the largest piece held for the reader, and the
// step in which a large body is paused and resumed.
constexpr long kReceiveBufferBytes = 256 * 1024;

// A transfer that waits this long without receiving a byte is given up.
// Tests shorten it with VARNOKE_HTTP_STALL_SECONDS; the program never sets it.
Clock::duration StallLimit() {
    const char* value = std::getenv("VARNOKE_HTTP_STALL_SECONDS");
    const int seconds = value != nullptr ? std::atoi(value) : 0;
    return std::chrono::seconds(seconds > 0 ? seconds : kDefaultStallSeconds);
}

// libcurl's global state and the process's one cookie store, in memory
// only, made at the first request and released at exit.
struct CurlProcess {
    CURLSH* cookieStore;
    CurlProcess() {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        cookieStore = curl_share_init();
        curl_share_setopt(cookieStore, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    }
    ~CurlProcess() {
        curl_share_cleanup(cookieStore);
        curl_global_cleanup();
    }
};
CURLSH* CookieStore() {
    static CurlProcess process;
    return process.cookieStore;
}

// What a root handle was opened with; its connections copy it and their
// requests take what they need of it, so closing a parent first leaves
// nothing dangling.
struct Session {
    std::optional<std::string> agent;
    std::string proxyList;  // empty: a direct connection
    std::string bypassList;
};

// A request's transfer state.
struct Transfer {
    CURLM* multi = nullptr;
    CURL* easy = nullptr;
    CURLU* url = nullptr;
    curl_slist* headerLines = nullptr;
    std::string verb;
    bool sent = false;
    bool done = false;
    CURLcode result = CURLE_OK;
    bool paused = false;
    std::string piece;  // body bytes delivered by libcurl, not yet read
    size_t pieceRead = 0;
    std::string headerBlock;  // the lines of the latest response, each ending "\r\n"
    bool headerBlockComplete = false;
    Clock::time_point lastByte;

    Transfer() = default;
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;
    ~Transfer() {
        if (easy != nullptr) {
            if (sent) curl_multi_remove_handle(multi, easy);
            curl_easy_cleanup(easy);
        }
        if (multi != nullptr) curl_multi_cleanup(multi);
        if (url != nullptr) curl_url_cleanup(url);
        curl_slist_free_all(headerLines);
    }
    size_t Unread() const { return piece.size() - pieceRead; }
};

enum class HandleKind { kRoot, kConnection, kRequest };

struct InternetHandle {
    HandleKind kind;
    Session session;
    std::string host;  // connections
    int32_t port = 0;
    std::unique_ptr<Transfer> transfer;  // requests
};

// Every handle given out and not yet closed; anything else is refused, so a
// stale or foreign handle is never dereferenced.
std::set<InternetHandle*>& LiveHandles() {
    static std::set<InternetHandle*> handles;
    return handles;
}

HINTERNET GiveOut(std::unique_ptr<InternetHandle> handle) {
    LiveHandles().insert(handle.get());
    return handle.release();
}

InternetHandle* Find(HINTERNET handle, HandleKind kind) {
    auto* found = static_cast<InternetHandle*>(handle);
    if (LiveHandles().count(found) == 0 || found->kind != kind) return nullptr;
    return found;
}

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

// A header value never carries a line break into the request.
std::string WithoutLineBreaks(std::string_view text) {
    std::string clean(text);
    std::erase_if(clean, IsLineBreak);
    return clean;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

// The proxy for one scheme from a list in the notation "server:port" (every
// scheme) or "scheme=server:port" (that scheme only), entries separated by
// blanks or ";". A scheme's own entry wins over a general one; none means a
// direct connection.
std::string ProxyFor(std::string_view list, std::string_view scheme) {
    std::string general, own;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find_first_of("; ", start);
        if (end == std::string_view::npos) end = list.size();
        const std::string_view entry = list.substr(start, end - start);
        start = end + 1;
        const size_t equals = entry.find('=');
        if (equals == std::string_view::npos) {
            if (general.empty()) general = entry;
        } else if (entry.substr(0, equals) == scheme && own.empty()) {
            own = entry.substr(equals + 1);
        }
    }
    return own.empty() ? general : own;
}

// The object name as a request target: the fragment is not sent, and the
// bytes that may not stand in a request line (controls, blanks, bytes from
// 0x7F on) are percent-escaped.
std::string RequestTarget(std::string_view objectName) {
    objectName = objectName.substr(0, objectName.find('#'));
    std::string target;
    for (unsigned char c : objectName) {
        if (c <= 0x20 || c >= 0x7F) {
            static constexpr char kHex[] = "0123456789abcdef";
            target += '%';
            target += kHex[c >> 4];
            target += kHex[c & 0xF];
        } else {
            target += char(c);
        }
    }
    if (target.empty() || target[0] != '/') target.insert(0, "/");
    return target;
}

// The address of a request, or null when the host or port cannot form one.
// A host name goes to the resolver only as printable ASCII.
CURLU* RequestUrl(bool secure, const std::string& host, int32_t port, std::string_view objectName) {
    if (std::any_of(host.begin(), host.end(), [](unsigned char c) { return c <= 0x20 || c >= 0x7F; })) return nullptr;
    CURLU* url = curl_url();
    const std::string target = RequestTarget(objectName);
    const size_t question = target.find('?');
    bool formed = curl_url_set(url, CURLUPART_SCHEME, secure ? "https" : "http", 0) == CURLUE_OK &&
                  curl_url_set(url, CURLUPART_HOST, host.c_str(), 0) == CURLUE_OK &&
                  curl_url_set(url, CURLUPART_PATH, target.substr(0, question).c_str(), 0) == CURLUE_OK;
    if (formed && port != 0) formed = curl_url_set(url, CURLUPART_PORT, std::to_string(port).c_str(), 0) == CURLUE_OK;
    if (formed && question != std::string::npos)
        formed = curl_url_set(url, CURLUPART_QUERY, target.substr(question + 1).c_str(), 0) == CURLUE_OK;
    if (formed) return url;
    curl_url_cleanup(url);
    return nullptr;
}

// Header lines keep the latest response's status line and headers; a new
// status line (after a redirect or an interim response) starts afresh, and
// trailers after the blank line are not part of it.
size_t OnHeaderLine(char* data, size_t size, size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    transfer.lastByte = Clock::now();
    std::string_view line(data, size * count);
    while (!line.empty() && IsLineBreak(line.back())) line.remove_suffix(1);
    if (line.starts_with("HTTP/")) {
        transfer.headerBlock.clear();
        transfer.headerBlockComplete = false;
    } else if (transfer.headerBlockComplete) {
        return size * count;
    }
    if (line.empty()) {
        transfer.headerBlockComplete = true;
    } else {
        transfer.headerBlock.append(line);
        transfer.headerBlock.append("\r\n");
    }
    return size * count;
}

size_t OnBodyPiece(char* data, size_t size, size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    transfer.lastByte = Clock::now();
    if (transfer.Unread() > 0) {
        transfer.paused = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    transfer.piece.assign(data, size * count);
    transfer.pieceRead = 0;
    return size * count;
}

void CollectResult(Transfer& transfer) {
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(transfer.multi, &queued)) {
        if (message->msg != CURLMSG_DONE) continue;
        transfer.done = true;
        transfer.result = message->data.result;
    }
}

// Runs the transfer until body bytes are waiting to be read or it has ended.
// The stall clock starts afresh here: time the caller spends away from the
// layer does not count.
void RunUntilBodyOrEnd(Transfer& transfer) {
    if (transfer.paused && transfer.Unread() == 0) {
        transfer.paused = false;
        curl_easy_pause(transfer.easy, CURLPAUSE_CONT);
    }
    const Clock::duration limit = StallLimit();
    transfer.lastByte = Clock::now();
    while (!transfer.done && transfer.Unread() == 0) {
        int running = 0;
        curl_multi_perform(transfer.multi, &running);
        CollectResult(transfer);
        if (transfer.done || transfer.Unread() > 0) return;
        const Clock::duration quiet = Clock::now() - transfer.lastByte;
        if (quiet >= limit) {
            transfer.done = true;
            transfer.result = CURLE_OPERATION_TIMEDOUT;
            return;
        }
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(limit - quiet).count();
        curl_multi_poll(transfer.multi, nullptr, 0, int(std::min<int64_t>(wait + 1, 1000)), nullptr);
    }
}

std::optional<std::string_view> NameOfLine(std::string_view line) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    return line.substr(0, colon);
}

// Appends the caller's header lines. A lone CR or LF ends a line too, so
// every byte sent stands in a header line of its own and the request stays
// well-formed. A line with an empty value is sent as such rather than taken
// as libcurl's "drop this header".
curl_slist* AppendHeaderLines(curl_slist* lines, std::string_view block) {
    bool namesExpect = false;
    while (!block.empty()) {
        const size_t end = std::min(block.find_first_of("\r\n"), block.size());
        std::string line(block.substr(0, end));
        block.remove_prefix(std::min(end + 1, block.size()));
        if (line.empty()) continue;
        namesExpect = namesExpect || StartsWithIgnoringCase(line, "expect:");
        const std::optional<std::string_view> name = NameOfLine(line);
        if (name && line.find_first_not_of(' ', name->size() + 1) == std::string::npos)
            line = std::string(*name) + ";";
        lines = curl_slist_append(lines, line.c_str());
    }
    // libcurl would otherwise announce a larger body with "Expect: 100-continue".
    if (!namesExpect) lines = curl_slist_append(lines, "Expect:");
    return lines;
}

void SetUpBody(Transfer& transfer, const void* body, uint32_t bodyLength) {
    CURL* easy = transfer.easy;
    const bool hasBody = body != nullptr && bodyLength > 0;
    if (hasBody || transfer.verb == "POST") {
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(hasBody ? bodyLength : 0));
        curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, hasBody ? static_cast<const char*>(body) : "");
    }
    if (transfer.verb == "HEAD") {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else if (transfer.verb != "POST" && (hasBody || transfer.verb != "GET")) {
        curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, transfer.verb.c_str());
    }
}

std::unique_ptr<Transfer> NewTransfer(const InternetHandle& connection, std::string verb, CURLU* url,
                                      std::string_view version, const char* referrer,
                                      const char* const* acceptTypes, uint32_t flags) {
    auto transfer = std::make_unique<Transfer>();
    transfer->verb = std::move(verb);
    transfer->url = url;
    transfer->multi = curl_multi_init();
    transfer->easy = curl_easy_init();
    CURL* easy = transfer->easy;
    const bool secure = (flags & INTERNET_FLAG_SECURE) != 0;
    const Session& session = connection.session;

    curl_easy_setopt(easy, CURLOPT_CURLU, url);
    curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION,
                     version == "HTTP/1.0" ? long(CURL_HTTP_VERSION_1_0) : long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, kConnectSeconds);
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
    if (session.agent) curl_easy_setopt(easy, CURLOPT_USERAGENT, WithoutLineBreaks(*session.agent).c_str());
    if (referrer != nullptr) curl_easy_setopt(easy, CURLOPT_REFERER, WithoutLineBreaks(referrer).c_str());
    if (acceptTypes != nullptr && *acceptTypes != nullptr) {
        std::string accept = "Accept: ";
        for (const char* const* type = acceptTypes; *type != nullptr; ++type)
            accept += (type == acceptTypes ? "" : ", ") + WithoutLineBreaks(*type);
        transfer->headerLines = curl_slist_append(transfer->headerLines, accept.c_str());
    }

    const std::string proxy = ProxyFor(session.proxyList, secure ? "https" : "http");
    curl_easy_setopt(easy, CURLOPT_PROXY, proxy.c_str());
    curl_easy_setopt(easy, CURLOPT_PROXYPORT, kDefaultProxyPort);
    std::string bypass = session.bypassList;
    std::replace_if(bypass.begin(), bypass.end(), [](char c) { return c == ';' || c == ' '; }, ',');
    curl_easy_setopt(easy, CURLOPT_NOPROXY, bypass.c_str());

    const bool follow = (flags & INTERNET_FLAG_NO_AUTO_REDIRECT) == 0;
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, follow ? 1L : 0L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
    // A secure request is never redirected to plain http; a plain one goes
    // to https only when the caller allows it.
    const char* redirectSchemes = secure ? "https"
                                  : (flags & INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS) != 0 ? "http,https"
                                                                                           : "http";
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, redirectSchemes);

    if ((flags & INTERNET_FLAG_NO_COOKIES) == 0) {
        curl_easy_setopt(easy, CURLOPT_SHARE, CookieStore());
        curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
    }

    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeaderLine);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, transfer.get());
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBodyPiece);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, transfer.get());
    return transfer;
}

}  // namespace

HINTERNET InternetOpenA(const char* agent, uint32_t accessType, const char* proxy, const char* proxyBypass,
                        uint32_t) {
    auto root = std::make_unique<InternetHandle>(HandleKind::kRoot);
    if (agent != nullptr) root->session.agent = agent;
    if (accessType == INTERNET_OPEN_TYPE_PROXY) {
        if (proxy == nullptr || *proxy == 0) return nullptr;
        root->session.proxyList = proxy;
        if (proxyBypass != nullptr) root->session.bypassList = proxyBypass;
    } else if (accessType != INTERNET_OPEN_TYPE_DIRECT) {
        return nullptr;
    }
    return GiveOut(std::move(root));
}

HINTERNET InternetConnectA(HINTERNET internet, const char* serverName, int32_t port, const char*, const char*,
                           uint32_t service, uint32_t, uintptr_t) {
    const InternetHandle* root = Find(internet, HandleKind::kRoot);
    if (root == nullptr || serverName == nullptr || *serverName == 0 || service != INTERNET_SERVICE_HTTP ||
        port < 0 || port > 65535)
        return nullptr;
    auto connection = std::make_unique<InternetHandle>(HandleKind::kConnection, root->session);
    connection->host = serverName;
    connection->port = port;
    return GiveOut(std::move(connection));
}

HINTERNET HttpOpenRequestA(HINTERNET connection, const char* verb, const char* objectName, const char* version,
                           const char* referrer, const char* const* acceptTypes, uint32_t flags, uintptr_t) {
    const InternetHandle* parent = Find(connection, HandleKind::kConnection);
    if (parent == nullptr) return nullptr;
    CookieStore();  // libcurl's global state comes first
    CURLU* url = RequestUrl((flags & INTERNET_FLAG_SECURE) != 0, parent->host, parent->port,
                            objectName != nullptr ? objectName : "/");
    if (url == nullptr) return nullptr;
    auto request = std::make_unique<InternetHandle>(HandleKind::kRequest);
    request->transfer = NewTransfer(*parent, verb != nullptr && *verb != 0 ? verb : "GET", url,
                                    version != nullptr ? version : "HTTP/1.1", referrer, acceptTypes, flags);
    return GiveOut(std::move(request));
}

int32_t HttpSendRequestA(HINTERNET request, const char* headers, uint32_t headersLength, const void* body,
                         uint32_t bodyLength) {
    InternetHandle* handle = Find(request, HandleKind::kRequest);
    if (handle == nullptr || handle->transfer->sent) return 0;
    Transfer& transfer = *handle->transfer;
    std::string_view block;
    if (headers != nullptr)
        block = headersLength == UINT32_MAX ? std::string_view(headers) : std::string_view(headers, headersLength);
    transfer.headerLines = AppendHeaderLines(transfer.headerLines, block.substr(0, block.find('\0')));
    curl_easy_setopt(transfer.easy, CURLOPT_HTTPHEADER, transfer.headerLines);
    SetUpBody(transfer, body, bodyLength);
    if (curl_multi_add_handle(transfer.multi, transfer.easy) != CURLM_OK) return 0;
    transfer.sent = true;
    RunUntilBodyOrEnd(transfer);
    return transfer.headerBlockComplete ? 1 : 0;
}

int32_t InternetReadFile(HINTERNET request, void* buffer, uint32_t bytesToRead, uint32_t* bytesRead) {
    if (bytesRead == nullptr) return 0;
    *bytesRead = 0;
    InternetHandle* handle = Find(request, HandleKind::kRequest);
    if (handle == nullptr || !handle->transfer->sent || (buffer == nullptr && bytesToRead > 0)) return 0;
    Transfer& transfer = *handle->transfer;
    if (transfer.Unread() == 0) RunUntilBodyOrEnd(transfer);
    const size_t count = std::min<size_t>(bytesToRead, transfer.Unread());
    if (count > 0) std::memcpy(buffer, transfer.piece.data() + transfer.pieceRead, count);
    transfer.pieceRead += count;
    *bytesRead = uint32_t(count);
    return count > 0 || transfer.result == CURLE_OK ? 1 : 0;
}

int32_t HttpQueryInfoA(HINTERNET request, uint32_t infoLevel, void* buffer, uint32_t* bufferLength, uint32_t*) {
    const InternetHandle* handle = Find(request, HandleKind::kRequest);
    if (handle == nullptr || infoLevel != HTTP_QUERY_RAW_HEADERS_CRLF || bufferLength == nullptr) return 0;
    const Transfer& transfer = *handle->transfer;
    if (!transfer.headerBlockComplete) return 0;
    const std::string& block = transfer.headerBlock;
    if (buffer == nullptr || block.size() + 1 > *bufferLength) {
        *bufferLength = uint32_t(block.size() + 1);
        return 0;
    }
    std::memcpy(buffer, block.c_str(), block.size() + 1);
    *bufferLength = uint32_t(block.size());
    return 1;
}

int32_t InternetCloseHandle(HINTERNET handle) {
    auto* found = static_cast<InternetHandle*>(handle);
    if (LiveHandles().erase(found) == 0) return 0;
    delete found;
    return 1;
}
