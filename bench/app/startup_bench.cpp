// Start-up, side by side: from process start to the first window mapped on
// the display, for the program and for a minimal Qt Widgets program; and
// what deploying and attaching the skin, and adjusting it, cost in-process.
//
// Run on a display of its own without a window manager, where nothing else
// maps windows meanwhile (bench/app/run.sh does this under xvfb-run).
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <xcb/xcb.h>

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/deploy.h"
#include "app/main_window.h"
#include "runtime/library.h"

extern char** environ;

namespace {

// Seconds from spawning `program` (with at most one argument) to the first
// window mapped on the root window; the program is killed then.
double SecondsToFirstMap(const char* program, const char* argument) {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &events);
    // A round trip: the server has the event mask before the program starts.
    free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));

    const auto start = std::chrono::steady_clock::now();
    char* const arguments[] = {const_cast<char*>(program), const_cast<char*>(argument), nullptr};
    pid_t child = 0;
    posix_spawn(&child, program, nullptr, nullptr, arguments, environ);
    while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
        const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
        free(event);
        if (mapped) break;
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    xcb_disconnect(connection);
    return elapsed.count();
}

void BM_StartUpToWindowMapped(benchmark::State& state, const char* program, const char* argument) {
    for (auto _ : state) state.SetIterationTime(SecondsToFirstMap(program, argument));
}

// One start per repetition; the fastest start shows the cost with the least
// disturbance from whatever else the machine runs.
void StartUpRuns(benchmark::internal::Benchmark* benchmark) {
    benchmark->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(30)
        ->ReportAggregatesOnly(true)->ComputeStatistics("min", [](const std::vector<double>& times) {
            return *std::min_element(times.begin(), times.end());
        });
}
BENCHMARK_CAPTURE(BM_StartUpToWindowMapped, minimal_qt_window, VARNOKE_MINIMAL_WINDOW, nullptr)->Apply(StartUpRuns);
BENCHMARK_CAPTURE(BM_StartUpToWindowMapped, minimal_qt_window_chinese_button, VARNOKE_MINIMAL_WINDOW,
                  "--chinese-button")->Apply(StartUpRuns);
BENCHMARK_CAPTURE(BM_StartUpToWindowMapped, varnoke, VARNOKE_EXECUTABLE, nullptr)->Apply(StartUpRuns);

// Each iteration binds the engine afresh, as a start does.
void BM_DeploySkin(benchmark::State& state) {
    for (auto _ : state) {
        DeploySkin();
        ReleaseBoundLibraries();
    }
}
BENCHMARK(BM_DeploySkin)->Unit(benchmark::kMillisecond);

void BM_DeploySkinAndAdjustIt(benchmark::State& state) {
    for (auto _ : state) {
        DeploySkin();
        AdjustSkin();
        ReleaseBoundLibraries();
    }
}
BENCHMARK(BM_DeploySkinAndAdjustIt)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    QApplication application(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ReleaseBoundLibraries();
    return 0;
}
