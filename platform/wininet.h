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
// entries separated by blanks or ";"), bypassing it for nobody.
HINTERNET InternetOpenA(const char* agent, uint32_t accessType, const char* proxy,
                        const char* proxyBypass, uint32_t flags);

// Connection handle for one host and port; port 0 is the service's default.
HINTERNET InternetConnectA(HINTERNET internet, const char* serverName, int32_t port,
                           const char* userName, const char* password, uint32_t service,
                           uint32_t flags, uintptr_t context);

// Request handle; nothing goes on the wire until HttpSendRequestA.
HINTERNET HttpOpenRequestA(HINTERNET connection, const char* verb, const char* objectName,
                           const char* version, const char* referrer,
                           const char* const* acceptTypes, uint32_t flags, uintptr_t context);

// Sends the request with the header lines ("\r\n" separated) and the body;
// returns nonzero when the response headers arrived.
int32_t HttpSendRequestA(HINTERNET request, const char* headers, uint32_t headersLength,
                         const void* body, uint32_t bodyLength);

// Reads the next bytes of the body; *bytesRead is 0 at its end and on failure.
int32_t InternetReadFile(HINTERNET request, void* buffer, uint32_t bytesToRead,
                         uint32_t* bytesRead);

// HTTP_QUERY_RAW_HEADERS_CRLF: the status line and header lines of the last
// response, each ended by "\r\n", NUL-terminated. Fails without touching the
// buffer when they do not fit; *bufferLength then holds the size needed.
int32_t HttpQueryInfoA(HINTERNET request, uint32_t infoLevel, void* buffer,
                       uint32_t* bufferLength, uint32_t* index);

// Closes a root, connection or request handle; a null handle is ignored.
int32_t InternetCloseHandle(HINTERNET handle);
