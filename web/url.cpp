#include "web/url.h"

#include "text/between.h"
#include "text/more.h"
#include "text/text.h"

Text UrlHost(const Text& address, bool keepPort) {
    Text work = ToLowerCase(address);
    if (CompareText(TextRight(work, 1), "/") != 0) work = ConcatText(std::move(work), "/");
    Text host;
    if (CompareText(TextLeft(work, 8), "https://") == 0) {
        host = TakeBetween(work, "https://", "/");
    } else {
        if (FindText(work, "http://") == -1) work = ConcatText("http://", work);
        host = TakeBetween(work, "http://", "/");
    }
    if (keepPort) return host;
    const int32_t colon = FindText(host, ":");
    if (colon == -1) return host;
    return TextLeft(host, colon - 1);
}

int32_t UrlPort(const Text& address) {
    const Text host = UrlHost(address, true);
    const int32_t colon = FindTextReverse(host, ":");
    if (colon == -1) return AddressIsHttps(address) ? 443 : 80;
    return TextToInt(TextRight(host, TextLength(host) - colon));
}

Text UrlPath(const Text& address) {
    const int32_t host = FindText(address, UrlHost(address), 1, true);
    const int32_t slash = FindText(address, "/", host, true);
    if (slash == -1) return "/";
    return TextRight(address, TextLength(address) - slash + 1);
}

bool AddressIsHttps(const Text& address) { return CompareText(ToLowerCase(TextLeft(address, 5)), "https") == 0; }
