// Placeholder until the HTTP layer lands: every operation fails.
#include "platform/wininet.h"

HINTERNET InternetOpenA(const char*, uint32_t, const char*, const char*, uint32_t) { return nullptr; }
HINTERNET InternetConnectA(HINTERNET, const char*, int32_t, const char*, const char*, uint32_t, uint32_t,
                           uintptr_t) {
    return nullptr;
}
HINTERNET HttpOpenRequestA(HINTERNET, const char*, const char*, const char*, const char*, const char* const*,
                           uint32_t, uintptr_t) {
    return nullptr;
}
int32_t HttpSendRequestA(HINTERNET, const char*, uint32_t, const void*, uint32_t) { return 0; }
int32_t InternetReadFile(HINTERNET, void*, uint32_t, uint32_t* bytesRead) {
    *bytesRead = 0;
    return 0;
}
int32_t HttpQueryInfoA(HINTERNET, uint32_t, void*, uint32_t*, uint32_t*) { return 0; }
int32_t InternetCloseHandle(HINTERNET) { return 1; }
