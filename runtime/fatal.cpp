#include "runtime/fatal.h"

#include <cstdio>
#include <cstdlib>

#include "runtime/library.h"

namespace {
FatalReporter installedReporter = nullptr;
ShutdownRoutine shutdownSlot = nullptr;
}  // namespace

std::string FatalReportText(int code, std::string_view message) {
    std::string report = "运行时出错!\r\n\r\n";
    if (code != 0) {
        report += "错误代码：";
        report += std::to_string(code);
        report += "\r\n\r\n";
    }
    report += "错误信息：";
    report += message;
    report += "\r\n";
    return report;
}

void FatalError(int code, std::string_view message) {
    // A fatal error inside the reporter itself must not recurse.
    static bool reporting = false;
    if (!reporting) {
        reporting = true;
        const std::string report = FatalReportText(code, message);
        std::fwrite(report.data(), 1, report.size(), stderr);
        std::fflush(stderr);
        if (installedReporter != nullptr) installedReporter(report);
    }
    shutdownSlot = nullptr;
    ReleaseBoundLibraries();
    // No destructors run: the state that failed may be what they would touch.
    std::_Exit(-1);
}

void FatalOutOfMemory(int64_t bytesAskedFor) {
    FatalError(0, "分配 " + std::to_string(bytesAskedFor) + " 字节内存失败!");
}

void SetFatalReporter(FatalReporter reporter) { installedReporter = reporter; }

void RegisterShutdownRoutine(ShutdownRoutine routine) { shutdownSlot = routine; }

void RunShutdownRoutine() {
    ShutdownRoutine routine = shutdownSlot;
    shutdownSlot = nullptr;
    if (routine != nullptr) routine();
}
