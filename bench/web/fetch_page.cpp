// Fetches one address with FetchPage and reports the body's length, the
// time FetchPage took and the process's peak resident memory, for
// fetch_bench.sh.
//
//   varnoke_fetch_page http://127.0.0.1:8000/16777216
//   16777216 bytes in 41.7 ms, peak 28416 KB
#include <sys/resource.h>

#include <chrono>
#include <cstdio>

#include "web/fetch.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s ADDRESS\n", argv[0]);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const Bytes body = FetchPage(argv[1]);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%d bytes in %.1f ms, peak %ld KB\n", body.Length(), took.count(), usage.ru_maxrss);
    return body.Length() > 0 ? 0 : 1;
}
