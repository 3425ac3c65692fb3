#include "platform/ChildProcess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace platform {
namespace {

// Everything a child needs, built before fork: after it only
// async-signal-safe calls are allowed.
struct Launch {
    explicit Launch(const std::vector<std::string>& args) {
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        for (char** e = environ; e && *e; ++e)
            if (std::strncmp(*e, "LD_LIBRARY_PATH=", 16) != 0) envp.push_back(*e);
        envp.push_back(nullptr);
    }
    std::vector<char*> argv;
    std::vector<char*> envp;
};

[[noreturn]] void execChild(const Launch& launch, int outputFd) {
    const int devNull = open("/dev/null", O_RDWR);
    if (devNull >= 0) {
        dup2(devNull, STDIN_FILENO);
        if (outputFd < 0) dup2(devNull, STDOUT_FILENO);
    }
    if (outputFd >= 0) dup2(outputFd, STDOUT_FILENO);
    execve(launch.argv[0], launch.argv.data(), launch.envp.data());
    _exit(127);
}

bool waitFor(pid_t pid, int* status) {
    for (;;) {
        if (waitpid(pid, status, 0) == pid) return true;
        if (errno != EINTR) return false;  // e.g. the host ignores SIGCHLD
    }
}

}  // namespace

std::string findProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string folders = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        const std::string folder = folders.substr(start, end - start);
        if (!folder.empty()) {
            const std::string candidate = folder + "/" + name;
            struct stat info {};
            if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0)
                return candidate;
        }
        start = end + 1;
    }
    return {};
}

ChildResult runChild(const std::vector<std::string>& argv, std::size_t maxOutput) {
    ChildResult result;
    if (argv.empty() || argv[0].empty()) return result;
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return result;
    const Launch launch(argv);
    const pid_t pid = fork();
    if (pid < 0) {
        close(pipeFds[0]);
        close(pipeFds[1]);
        return result;
    }
    if (pid == 0) execChild(launch, pipeFds[1]);
    close(pipeFds[1]);
    result.started = true;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(pipeFds[0], buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        const std::size_t room = maxOutput - std::min(maxOutput, result.output.size());
        result.output.append(buffer, std::min(room, static_cast<std::size_t>(n)));
    }
    close(pipeFds[0]);
    int status = 0;
    if (waitFor(pid, &status)) {
        if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
        else if (WIFSIGNALED(status)) result.exitStatus = 128 + WTERMSIG(status);
    }
    return result;
}

bool startDetached(const std::vector<std::string>& argv) {
    if (argv.empty() || argv[0].empty()) return false;
    const Launch launch(argv);
    // The middle process exits at once, so the program is never left a
    // zombie of the host.
    const pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        setsid();
        const pid_t grandchild = fork();
        if (grandchild == 0) execChild(launch, -1);
        _exit(grandchild < 0 ? 1 : 0);
    }
    int status = 0;
    return waitFor(pid, &status) && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace platform
