// Fatal errors and the shutdown routine slot.
//
// FatalError is the one way the system reports a failure it cannot carry on
// from. It writes the report to standard error (UTF-8), hands it to the
// reporter the application installed (the message box), clears the shutdown
// routine slot, releases every bound library and ends the process with exit
// code -1 (255 as a parent process sees it). It never returns.
//
//   FatalError(4, "数组成员引用下标必须大于等于1");
//   // stderr: "运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1\r\n"
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The report as the user reads it: "运行时出错!\r\n\r\n", then "错误代码：<code>\r\n\r\n"
// only when the code is not 0, then "错误信息：<message>\r\n".
std::string FatalReportText(int code, std::string_view message);

[[noreturn]] void FatalError(int code, std::string_view message);

// Code 0, "分配 %d 字节内存失败!" with the number of bytes asked for.
[[noreturn]] void FatalOutOfMemory(int64_t bytesAskedFor);

// Shows the report to the user and returns when the user has dismissed it.
// The default reporter does nothing beyond the standard error copy.
using FatalReporter = void (*)(const std::string& reportUtf8);
void SetFatalReporter(FatalReporter reporter);

// One slot for the routine that normal shutdown runs once.
using ShutdownRoutine = void (*)();
void RegisterShutdownRoutine(ShutdownRoutine routine);
// Runs the registered routine, if any, and clears the slot.
void RunShutdownRoutine();
