// The HTTP layer as a module of its own. The program loads it when a fetch
// first binds one of its operations, so that starting the program does not
// pay for libcurl and the many libraries it brings.
#include <cstddef>

#include "platform/builtin_export.h"
#include "platform/wininet.h"

namespace {

void* Exported(auto function) { return reinterpret_cast<void*>(function); }

const BuiltinExport kExports[] = {
    {"InternetOpenA", Exported(&InternetOpenA)},
    {"InternetCloseHandle", Exported(&InternetCloseHandle)},
    {"InternetConnectA", Exported(&InternetConnectA)},
    {"HttpOpenRequestA", Exported(&HttpOpenRequestA)},
    {"HttpSendRequestA", Exported(&HttpSendRequestA)},
    {"InternetReadFile", Exported(&InternetReadFile)},
    {"HttpQueryInfoA", Exported(&HttpQueryInfoA)},
};

}  // namespace

extern "C" __attribute__((visibility("default"))) const BuiltinExport* WininetExports(size_t* count) {
    *count = sizeof kExports / sizeof kExports[0];
    return kExports;
}
