#include "app/deploy.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "app/images.h"
#include "runtime/library.h"
#include "runtime/paths.h"
#include "skin/exports.h"

namespace {

bool WriteAll(int file, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(file, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(size_t(written));
    }
    return true;
}

// Opens a new file beside `target` for writing; -1 when none can be made.
int CreateSibling(const std::string& target, std::string& siblingPath) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        siblingPath = target + ".new-" + std::to_string(getpid()) + "-" + std::to_string(attempt);
        const int file = open(siblingPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file >= 0 || errno != EEXIST) return file;
    }
    return -1;
}

}  // namespace

bool WriteBytesToFile(const Text& path, std::initializer_list<std::string_view> data) {
    if (TextLength(path) == 0) return false;
    const std::string target = HostPath(path.View());
    std::string siblingPath;
    const int file = CreateSibling(target, siblingPath);
    if (file < 0) return false;
    bool written = true;
    for (std::string_view value : data) written = written && WriteAll(file, value);
    written = close(file) == 0 && written;
    written = written && std::rename(siblingPath.c_str(), target.c_str()) == 0;
    if (!written) unlink(siblingPath.c_str());
    return written;
}

void DeploySkin() {
    MakeDirectories(HostPath("C:\\Windows"));
    WriteBytesToFile("C:\\Windows\\jedata.dll", {SkinEngineImage});
    WriteBytesToFile("C:\\Windows\\win8.she", {SkinFileImage});
    const Text skinFile = "C:\\Windows\\win8.she", reserved = "";
    BoundFunction<SkinH_AttachExFn>(kSkinH_AttachEx)(skinFile.PlatformPointer(), reserved.PlatformPointer());
}
