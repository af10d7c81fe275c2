// The system's one HTTP routine: one request for a page address, the
// response body back as Bytes, byte for byte.
//
// Each call opens its own handles on the HTTP layer ("wininet.dll"), sends
// the request, reads the whole body and closes the handles before it
// returns; it blocks its caller until then. A fixed set of default request
// headers is added unless the caller's own headers already name them, in
// exactly that letter case. The HTTP status is never looked at: an error
// page's body is returned like any other. A request that cannot be made
// gives the empty Bytes; nothing is reported.
//
//   Text page = FetchPageText("echo.example/sound/1");
//
//   Text cookies = "sid=1", sent;
//   Bytes body = FetchPage("http://echo.example/login",
//                          {.method = 1, .postText = "u=a", .cookies = &cookies, .extraHeaders = &sent});
//   // cookies now also holds what the response set; sent, the header block.
#pragma once

#include <cstdint>

#include "text/values.h"

// The optional parameters of FetchPage, in their order; each left out reads
// as 0, false or empty. An out-parameter is a pointer to the caller's
// variable; a null pointer leaves it out, and what would be written to it is
// discarded. In/out parameters are read and then replaced.
struct FetchOptions {
    // 1 sends "POST"; every other value "GET". Any value but 0 sends a body.
    int32_t method = 0;
    // The body when *postBytes is empty.
    Text postText{};
    // In/out. Cookies to send, "name=value" pairs joined by "; ". Supplying
    // it at all, even empty, switches the HTTP layer's own cookie handling
    // off for the request: the text is sent in a "Cookie: " line when it is
    // not empty, and afterwards the cookies the response set are merged into
    // it (MergeCookies).
    Text* cookies = nullptr;
    // Out. The cookies the response set, "name=value" pairs joined by "; ".
    Text* returnedCookies = nullptr;
    // In/out. Caller header lines separated by "\r\n", no break after the
    // last; afterwards the complete header block that was sent.
    Text* extraHeaders = nullptr;
    // Out. The response's status line and header lines, each ended by
    // "\r\n", every "Set-Cookie" name in that letter case; 5000 blanks when
    // the layer had none or they did not fit in 4999 bytes.
    Text* returnedHeaders = nullptr;
    // True: a redirect response is itself the result.
    bool noRedirect = false;
    // In/out. The body to send; when it is empty and a body is sent, it is
    // replaced by the bytes of postText.
    Bytes* postBytes = nullptr;
    // A proxy server, "server" or "server:port"; empty for a direct
    // connection. For an http address the layer is given "http=" and the
    // proxy, for an https address the proxy alone.
    Text proxy{};
};

// The response body of one request for `address` (as the user wrote it:
// with or without "http://" or "https://", any letter case, a port, a path
// and a query). The empty Bytes when nothing was read.
//
// Sent: the verb; the object path of the address; the agent as User-Agent,
// taken from a "User-Agent:" line of extraHeaders when there is one (letter
// case ignored), else "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
// and the header block: extraHeaders, followed by each default whose name
// (written exactly so) it does not hold, in this order:
//   "Accept: */*", "Referer: " + address, "Accept-Language: zh-cn",
//   "Content-Type: application/x-www-form-urlencoded" (for a GET too),
// then "Cookie: " + *cookies when that is not empty.
// With nothing but an http address given, the block is exactly
//   "Accept: */*\r\nReferer: <address>\r\nAccept-Language: zh-cn\r\n"
//   "Content-Type: application/x-www-form-urlencoded"
// When the layer cannot open its root handle, connection or request, every
// handle opened is closed, the result is empty and no out-parameter is
// written. Once the request is open, every out-parameter is written, also
// when the send fails; a read that fails part-way leaves the body read so far.
Bytes FetchPage(const Text& address, const FetchOptions& options = {});

// FetchPage with every option left out, the body as a Text: it ends at the
// body's first zero byte, if it has one.
Text FetchPageText(const Text& address);

// Everything after the first ":" of the text with spaces trimmed at both
// ends; empty when it holds no ":".
//   ValueAfterColon("User-Agent:  Probe ") == "Probe";  ValueAfterColon("x") == ""
Text ValueAfterColon(const Text& text);
