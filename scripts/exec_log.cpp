// A preloaded library that writes the path of every program a process
// starts, one a line, to the file named by VARNOKE_EXEC_LOG. ./test.sh
// preloads it for the build and the test run, so that the package check
// knows every program they ran: the children inherit the preload, and a
// shell's own commands are started through these same calls.
//
// The real functions are looked up when the library is loaded: a child
// between fork and exec may not take the dynamic loader's lock.
#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <climits>
#include <cstdarg>

namespace {

using ExecFn = int(const char*, char* const*, char* const*);
using ExecNoEnvFn = int(const char*, char* const*);
using SpawnFn = int(pid_t*, const char*, const posix_spawn_file_actions_t*, const posix_spawnattr_t*,
                    char* const*, char* const*);

ExecFn* realExecve;
ExecFn* realExecvpe;
ExecNoEnvFn* realExecv;
ExecNoEnvFn* realExecvp;
SpawnFn* realPosixSpawn;
SpawnFn* realPosixSpawnp;

template <typename Function>
Function* Next(const char* name) {
    return reinterpret_cast<Function*>(dlsym(RTLD_NEXT, name));
}

__attribute__((constructor)) void FindRealFunctions() {
    realExecve = Next<ExecFn>("execve");
    realExecvpe = Next<ExecFn>("execvpe");
    realExecv = Next<ExecNoEnvFn>("execv");
    realExecvp = Next<ExecNoEnvFn>("execvp");
    realPosixSpawn = Next<SpawnFn>("posix_spawn");
    realPosixSpawnp = Next<SpawnFn>("posix_spawnp");
}

void Append(char* line, size_t& length, const char* text) {
    const size_t count = strnlen(text, PATH_MAX);
    if (length + count >= PATH_MAX * 2) return;
    memcpy(line + length, text, count);
    length += count;
}

// One write per line, so lines of concurrent processes never interleave. A
// relative path with a slash is made absolute; a bare name is kept as it is,
// for the check to look up on the search path.
void Log(const char* program) {
    const char* logFile = getenv("VARNOKE_EXEC_LOG");
    if (logFile == nullptr || program == nullptr || *program == 0) return;
    char line[PATH_MAX * 2];
    size_t length = 0;
    char directory[PATH_MAX];
    if (program[0] != '/' && strchr(program, '/') != nullptr && getcwd(directory, sizeof directory) != nullptr) {
        Append(line, length, directory);
        Append(line, length, "/");
    }
    Append(line, length, program);
    line[length++] = '\n';
    const int fd = open(logFile, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    [[maybe_unused]] const ssize_t written = write(fd, line, length);
    close(fd);
}

// The arguments of a list form up to its null, in place: a child between
// fork and exec may not allocate. Arguments beyond the room are read and
// dropped, so that what follows the null (execle's environment) is found.
struct ArgumentList {
    static constexpr size_t kRoom = 4096;
    char* values[kRoom];
    ArgumentList(const char* first, va_list* rest) {
        size_t count = 0;
        for (char* argument = const_cast<char*>(first); argument != nullptr; argument = va_arg(*rest, char*))
            if (count + 1 < kRoom) values[count++] = argument;
        values[count] = nullptr;
    }
};

}  // namespace

extern "C" {

int execve(const char* path, char* const argv[], char* const envp[]) {
    Log(path);
    return realExecve(path, argv, envp);
}

int execvpe(const char* file, char* const argv[], char* const envp[]) {
    Log(file);
    return realExecvpe(file, argv, envp);
}

int execv(const char* path, char* const argv[]) {
    Log(path);
    return realExecv(path, argv);
}

int execvp(const char* file, char* const argv[]) {
    Log(file);
    return realExecvp(file, argv);
}

int posix_spawn(pid_t* pid, const char* path, const posix_spawn_file_actions_t* actions,
                const posix_spawnattr_t* attributes, char* const argv[], char* const envp[]) {
    Log(path);
    return realPosixSpawn(pid, path, actions, attributes, argv, envp);
}

int posix_spawnp(pid_t* pid, const char* file, const posix_spawn_file_actions_t* actions,
                 const posix_spawnattr_t* attributes, char* const argv[], char* const envp[]) {
    Log(file);
    return realPosixSpawnp(pid, file, actions, attributes, argv, envp);
}

// The list forms gather their arguments and go through the vector forms.
int execl(const char* path, const char* first, ...) {
    va_list rest;
    va_start(rest, first);
    ArgumentList argv(first, &rest);
    va_end(rest);
    return execv(path, argv.values);
}

int execlp(const char* file, const char* first, ...) {
    va_list rest;
    va_start(rest, first);
    ArgumentList argv(first, &rest);
    va_end(rest);
    return execvp(file, argv.values);
}

int execle(const char* path, const char* first, ...) {
    va_list rest;
    va_start(rest, first);
    ArgumentList argv(first, &rest);
    char* const* envp = va_arg(rest, char* const*);
    va_end(rest);
    return execve(path, argv.values, envp);
}

}  // extern "C"
