#include "runtime/library.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <array>
#include <string>

#include "platform/kernel32.h"
#include "runtime/fatal.h"
#include "runtime/paths.h"

namespace {

constexpr std::array<LibraryFunction, kLibraryEntryCount> kTable{{
    {"jedata.dll", "SkinH_AttachEx"},
    {"wininet.dll", "InternetOpenA"},
    {"wininet.dll", "InternetCloseHandle"},
    {"wininet.dll", "InternetConnectA"},
    {"wininet.dll", "HttpOpenRequestA"},
    {"wininet.dll", "HttpSendRequestA"},
    {"wininet.dll", "HttpSendRequestA"},
    {"wininet.dll", "InternetReadFile"},
    {"wininet.dll", "HttpQueryInfoA"},
    {"", "MultiByteToWideChar"},
    {"kernel32.dll", "WideCharToMultiByte"},
    {"jedata.dll", "SkinH_AdjustHSV"},
    {"jedata.dll", "SkinH_AdjustAero"},
}};

void* Exported(auto function) { return reinterpret_cast<void*>(function); }

const BuiltinExport kKernel32Exports[] = {
    {"MultiByteToWideChar", Exported(&MultiByteToWideChar)},
    {"WideCharToMultiByte", Exported(&WideCharToMultiByte)},
};
// The other system libraries the search may name export nothing the
// program uses.
const BuiltinModule kBuiltinModules[] = {
    {"kernel32.dll", kKernel32Exports}, {"wininet.dll", {}, "varnoke_wininet.so"},
    {"gdi32.dll", {}},                  {"user32.dll", {}},
    {"advapi32.dll", {}},               {"mpr.dll", {}},
    {"shell32.dll", {}},
};

constexpr std::string_view kSystemSearchOrder[] = {
    "Kernel32.dll", "Gdi32.dll", "User32.dll", "Advapi32.dll", "Mpr.dll", "Shell32.dll",
};

// A loaded module: one of the built-in ones, with the handle of its module
// file if it has one, or a library loaded by dlopen.
struct Module {
    const BuiltinModule* builtin = nullptr;
    void* handle = nullptr;
    std::span<const BuiltinExport> exports = {};
    bool Loaded() const { return builtin != nullptr || handle != nullptr; }
};

struct BindingRecord {
    Module module;
    void* address = nullptr;
};
std::array<BindingRecord, kLibraryEntryCount> records;

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

const BuiltinModule* FindBuiltin(std::string_view fileName) {
    for (const BuiltinModule& module : kBuiltinModules)
        if (SameNameIgnoringCase(module.fileName, fileName)) return &module;
    return nullptr;
}

bool IsFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void* OpenFile(const std::string& path) { return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }

using ModuleExportsFn = const BuiltinExport*(size_t* count);

// The HTTP layer, the one built-in module kept in a module file of its own;
// WininetExports lists its operations.
Module LoadModuleFile(const BuiltinModule& builtin) {
    const ProgramModule module = OpenProgramModule(builtin.moduleFile, VARNOKE_WININET_MODULE_PATH, "WininetExports");
    if (module.address == nullptr) return {};
    size_t count = 0;
    const BuiltinExport* first = reinterpret_cast<ModuleExportsFn*>(module.address)(&count);
    return {&builtin, module.handle, {first, count}};
}

Module Load(std::string_view fileName) {
    if (const BuiltinModule* builtin = FindBuiltin(fileName)) {
        if (!builtin->moduleFile.empty()) return LoadModuleFile(*builtin);
        return {builtin, nullptr, builtin->exports};
    }
    if (fileName.find(':') != std::string_view::npos) return {nullptr, OpenFile(HostPath(fileName))};
    const std::string name(fileName);
    for (const std::string& directory : {ProgramDirectory(), HostPath("C:\\Windows")}) {
        const std::string path = directory + "/" + name;
        if (IsFile(path))
            if (void* handle = OpenFile(path)) return {nullptr, handle};
    }
    return {nullptr, OpenFile(name)};
}

void Release(Module& module) {
    if (module.handle != nullptr) dlclose(module.handle);
    module = {};
}

void* Lookup(const Module& module, std::string_view exportName) {
    if (module.builtin != nullptr) {
        for (const BuiltinExport& entry : module.exports)
            if (entry.name == exportName) return entry.address;
        return nullptr;
    }
    return dlsym(module.handle, std::string(exportName).c_str());
}

[[noreturn]] void BindingFailed(const LibraryFunction& function) { FatalError(0, BindingFailureMessage(function)); }

BindingRecord Bind(const LibraryFunction& function) {
    if (function.libraryFile.empty()) {
        for (std::string_view candidate : kSystemSearchOrder) {
            Module module = Load(candidate);
            if (!module.Loaded()) continue;
            if (void* address = Lookup(module, function.exportName)) return {module, address};
            Release(module);
        }
        BindingFailed(function);
    }
    Module module = Load(function.libraryFile);
    if (!module.Loaded()) BindingFailed(function);
    void* address = Lookup(module, function.exportName);
    if (address == nullptr) {
        Release(module);
        BindingFailed(function);
    }
    return {module, address};
}

}  // namespace

std::span<const LibraryFunction, kLibraryEntryCount> LibraryFunctionTable() { return kTable; }

ProgramModule OpenProgramModule(std::string_view file, std::string_view builtPath, const char* exportName) {
    for (const std::string& path : {ProgramDirectory() + "/" + std::string(file), std::string(builtPath)}) {
        if (!IsFile(path)) continue;
        // Bound lazily, as plug-ins are: a module that brings a large library
        // need not resolve all of it before its first use.
        void* handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
        if (handle == nullptr) continue;
        if (void* address = dlsym(handle, exportName)) return {handle, address};
        dlclose(handle);
    }
    return {};
}

std::string BindingFailureMessage(const LibraryFunction& function) {
    std::string message = "无法找到指定DLL库文件";
    if (!function.libraryFile.empty()) {
        message += "“";
        message += function.libraryFile;
        message += "”";
    }
    message += "中的输出命令“";
    message += function.exportName;
    message += "”";
    return message;
}

void* BoundAddress(LibraryEntry entry) {
    BindingRecord& record = records[entry];
    if (record.address == nullptr) record = Bind(kTable[entry]);
    return record.address;
}

void ReleaseBoundLibraries() {
    for (BindingRecord& record : records) {
        Release(record.module);
        record.address = nullptr;
    }
}
