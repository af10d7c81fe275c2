// The library functions the system calls, bound by library file name and
// export name at their first call.
//
// A binding record holds the loaded module and the export's address for the
// rest of the run. Resolution of a library file name:
//   - empty: "Kernel32.dll", "Gdi32.dll", "User32.dll", "Advapi32.dll",
//     "Mpr.dll", "Shell32.dll" in this order; the first that has the export;
//   - a Windows system library name (compared without regard to letter case):
//     the program's own built-in module of that name, never a file on disk;
//   - a name without a colon: the file in the program directory, then in the
//     Windows directory of drive C, then dlopen's own search of the bare name;
//   - a name with a colon: the path as written, on drive C.
// A failed binding is FatalError code 0 with the binding message.
//
//   auto* convert = BoundFunction<MultiByteToWideCharFn>(kMultiByteToWideChar);
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "platform/builtin_export.h"

enum LibraryEntry : int {
    kSkinH_AttachEx = 0,
    kInternetOpenA = 1,
    kInternetCloseHandle = 2,
    kInternetConnectA = 3,
    kHttpOpenRequestA = 4,
    kHttpSendRequestAWithText = 5,
    kHttpSendRequestAWithBytes = 6,
    kInternetReadFile = 7,
    kHttpQueryInfoA = 8,
    kMultiByteToWideChar = 9,
    kWideCharToMultiByte = 10,
    kSkinH_AdjustHSV = 11,
    kSkinH_AdjustAero = 12,
    kLibraryEntryCount = 13,
};

struct LibraryFunction {
    std::string_view libraryFile;  // empty: search the system libraries
    std::string_view exportName;
};

// LibraryFunctionTable, numbered from 0 as LibraryEntry.
std::span<const LibraryFunction, kLibraryEntryCount> LibraryFunctionTable();

// The message of a failed binding: "无法找到指定DLL库文件“<file>”中的输出命令“<export>”",
// without the file part when the entry names no library file.
std::string BindingFailureMessage(const LibraryFunction& function);

// The export's address, binding the entry first if this is its first call.
void* BoundAddress(LibraryEntry entry);

// Every call goes through a pointer of the export's exact C++ type. Arguments
// are passed in registers and the caller restores its own stack on this
// platform, so an unbalanced stack after the call cannot occur and needs no
// check.
template <typename Function>
Function* BoundFunction(LibraryEntry entry) {
    return reinterpret_cast<Function*>(BoundAddress(entry));
}

// Releases every module a binding record holds, one release per bound entry,
// and empties the records; a later call binds afresh.
void ReleaseBoundLibraries();

// A module file of the program's own, loaded beside the program or, failing
// that, where the build put it (builtPath), and one export of it. Both are
// null when neither file has the export; the module then stays unloaded.
struct ProgramModule {
    void* handle = nullptr;
    void* address = nullptr;
};
ProgramModule OpenProgramModule(std::string_view file, std::string_view builtPath, const char* exportName);

// A module the program carries in place of a Windows system library: its
// exports are in the program itself, or in a module file of the program's
// own that is loaded when the library is (the HTTP layer).
struct BuiltinModule {
    std::string_view fileName;  // lower case, as "kernel32.dll"
    std::span<const BuiltinExport> exports;
    std::string_view moduleFile = {};  // beside the program, as "varnoke_wininet.so"
};
