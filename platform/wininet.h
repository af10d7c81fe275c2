// The program's own HTTP layer, standing in for the Windows internet library
// under the name "wininet.dll". Seven operations over opaque handles; a null
// handle means failure. Reached only through LibraryFunctionTable entries 1-8.
//
//   HINTERNET root = InternetOpenA("agent", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
//   HINTERNET connection = InternetConnectA(root, "example.org", 80, nullptr, nullptr,
//                                           INTERNET_SERVICE_HTTP, 0, 0);
//   HINTERNET request = HttpOpenRequestA(connection, "GET", "/", "HTTP/1.1", nullptr,
//                                        nullptr, INTERNET_FLAG_RELOAD, 0);
//   HttpSendRequestA(request, headers, headersLength, nullptr, 0);
//   while (InternetReadFile(request, buffer, 1024, &count) && count > 0) ...
//   InternetCloseHandle(request); ...
//
// A handle that was not given out, or was closed, is refused by every
// operation. A connection and a request keep what they need of their
// parents, so the parents may be closed first.
//
// Time limits: connecting gives up after 15 s; a transfer gives up when it
// has waited 30 s inside the layer without receiving a byte. The variable
// VARNOKE_HTTP_STALL_SECONDS (whole seconds) shortens the second limit for
// tests; the program never sets it.
//
// Cookies: without INTERNET_FLAG_NO_COOKIES a request sends and keeps the
// cookies of one in-memory store shared by the whole process (nothing is
// written to disk); with it, neither.
#pragma once

#include <cstdint>

using HINTERNET = void*;

inline constexpr uint32_t INTERNET_OPEN_TYPE_DIRECT = 1;
inline constexpr uint32_t INTERNET_OPEN_TYPE_PROXY = 3;
inline constexpr uint32_t INTERNET_SERVICE_HTTP = 3;
inline constexpr uint32_t HTTP_QUERY_RAW_HEADERS_CRLF = 22;

inline constexpr uint32_t INTERNET_FLAG_RELOAD = 0x80000000;
inline constexpr uint32_t INTERNET_FLAG_NEED_FILE = 0x00000010;
inline constexpr uint32_t INTERNET_FLAG_NO_COOKIES = 0x00080000;
inline constexpr uint32_t INTERNET_FLAG_NO_AUTO_REDIRECT = 0x00200000;
inline constexpr uint32_t INTERNET_FLAG_SECURE = 0x00800000;
inline constexpr uint32_t INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS = 0x00004000;

// Root handle. accessType 1: direct; 3: through the proxy list (WinInet
// notation: "server:port" for every scheme, "http=server:port" for http only,
// "https=server:port" for https only, entries separated by blanks or ";"; a
// scheme's own entry wins, a scheme without any entry goes direct, a server
// without a port is taken on port 80), except for the hosts of the bypass
// list (names separated by blanks or ";"; empty: none). Null for any other
// access type, or type 3 without a list.
HINTERNET InternetOpenA(const char* agent, uint32_t accessType, const char* proxy,
                        const char* proxyBypass, uint32_t flags);

// Connection handle for one host and port; port 0 is the service's default.
// Null for a missing or empty server name, a port outside 0-65535 or a
// service other than HTTP. Nothing goes on the wire yet.
HINTERNET InternetConnectA(HINTERNET internet, const char* serverName, int32_t port,
                           const char* userName, const char* password, uint32_t service,
                           uint32_t flags, uintptr_t context);

// Request handle; nothing goes on the wire until HttpSendRequestA. Null when
// the server name is no host name (blanks, control bytes, bytes from 0x7F
// on, "@", "/" and the like). The object name is sent as written, "." and
// ".." segments included, except that its fragment ("#" on) is left off and
// control bytes, blanks and bytes from 0x7F on are percent-escaped. Flags:
//   INTERNET_FLAG_SECURE               TLS, certificate and host verified; any
//                                      error fails the request
//   INTERNET_FLAG_NO_AUTO_REDIRECT     a redirect response is the result;
//                                      otherwise up to 20 are followed
//   INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS  a plain request may be redirected
//                                      to https (never a secure one to http)
//   INTERNET_FLAG_NO_COOKIES           see Cookies above
//   INTERNET_FLAG_RELOAD, INTERNET_FLAG_NEED_FILE  nothing is cached: no effect
// No content coding is asked for: the body is the entity as sent, with only
// chunked transfer coding undone.
HINTERNET HttpOpenRequestA(HINTERNET connection, const char* verb, const char* objectName,
                           const char* version, const char* referrer,
                           const char* const* acceptTypes, uint32_t flags, uintptr_t context);

// Sends the request with the header lines ("\r\n" separated; a length of
// 0xFFFFFFFF means they run to their NUL) and the body, and waits until the
// body begins or the transfer ends; returns nonzero when response headers
// arrived. A line break of any kind ends a header line, so the request
// stays well-formed whatever the lines hold. User-Agent comes from the root handle unless a
// header line names it; "Expect: 100-continue" is never sent. A body with a
// verb other than POST is sent with that verb.
int32_t HttpSendRequestA(HINTERNET request, const char* headers, uint32_t headersLength,
                         const void* body, uint32_t bodyLength);

// Reads the next bytes of the body, as they arrive: the layer holds at most
// one piece of it that the caller has not read yet. *bytesRead is 0 at its
// end and on failure; what arrived before a failure is read first.
int32_t InternetReadFile(HINTERNET request, void* buffer, uint32_t bytesToRead,
                         uint32_t* bytesRead);

// HTTP_QUERY_RAW_HEADERS_CRLF: the status line and header lines of the last
// response whose header lines arrived complete (after redirects, the last
// one), each ended by "\r\n", NUL-terminated; *bufferLength becomes their
// length. Fails without touching the buffer when they do not fit (then
// *bufferLength holds the size needed) and when no response header arrived.
int32_t HttpQueryInfoA(HINTERNET request, uint32_t infoLevel, void* buffer,
                       uint32_t* bufferLength, uint32_t* index);

// Closes a root, connection or request handle; a null handle is ignored.
int32_t InternetCloseHandle(HINTERNET handle);
