#include "runtime/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

std::string DataHome() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/') return dataHome;
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.local/share";
}

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

std::string ProgramDirectory() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return ".";
    const std::string executable(path, size_t(length));
    const size_t slash = executable.rfind('/');
    return slash == 0 ? "/" : executable.substr(0, slash);
}

std::string HostPath(std::string_view windowsPath) {
    std::string host;
    if (windowsPath.size() >= 2 && IsDriveLetter(windowsPath[0]) && windowsPath[1] == ':') {
        host = DataHome() + "/varnoke/drive_";
        host += char(windowsPath[0] | 0x20);
        windowsPath.remove_prefix(2);
        if (!windowsPath.empty() && windowsPath[0] != '\\' && windowsPath[0] != '/') host += '/';
    }
    for (char c : windowsPath) host += c == '\\' ? '/' : c;
    return host;
}

bool MakeDirectories(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
