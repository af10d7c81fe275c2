// Taking a page address apart into the three things a request needs: the
// host to connect to, the port and the object path to ask for.
//
// An address is taken the way a user types or pastes it: with or without
// "http://" or "https://", in any letter case, with or without a port, a
// path, a query or a trailing slash. Nothing is validated and nothing fails:
// an address of another shape yields parts that make the request fail later.
// The scheme is recognised only after the whole address has been
// lower-cased; user names, brackets, percent escapes and fragments are not
// interpreted.
//
//   UrlHost("http://Echo.Example/Sound/1") == "echo.example"
//   UrlPort("https://echo.example")        == 443
//   UrlPath("echo.example:8080")           == "/"
#pragma once

#include <cstdint>

#include "text/values.h"

// The host, lower-cased, without scheme and "/": the text between the first
// "http://" (or a leading "https://") of the lower-cased address and the
// first "/" after it. A scheme-less address is read as if "http://" stood in
// front of it, unless it holds "http://" somewhere, as in a query; then the
// host is read after that inner "http://". With keepPort false the host ends
// before its first ":".
//   UrlHost("echo.example:8080")                   == "echo.example"
//   UrlHost("echo.example:8080", true)             == "echo.example:8080"
//   UrlHost("echo.example?q=1")                    == "echo.example?q=1"
//   UrlHost("a.example/go?to=http://b.example/x")  == "b.example"
//   UrlHost("")                                    == ""
Text UrlHost(const Text& address, bool keepPort = false);

// The number after the host's last ":" (TextToInt, so a bare colon gives 0),
// else 443 when the address begins with "https" in any letter case, else 80.
//   UrlPort("echo.example:8080") == 8080;  UrlPort("echo.example:") == 0
//   UrlPort("HTTPS://echo.example/a") == 443;  UrlPort("") == 80
int32_t UrlPort(const Text& address);

// Everything from the first "/" after the host to the end of the address, in
// the address's own letter case, query included; "/" when there is none.
//   UrlPath("http://Echo.Example/Sound/1?A=B") == "/Sound/1?A=B"
//   UrlPath("echo.example?q=1")                == "/"
Text UrlPath(const Text& address);

// True when the first five bytes of the address, lower-cased, are "https":
// the address is fetched over TLS.
//   AddressIsHttps("HTTPS://echo.example") == true;  AddressIsHttps("https") == true
bool AddressIsHttps(const Text& address);
