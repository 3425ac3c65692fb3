// An Xvfb server of the test's own, on the first free display number, and
// stopped when the test ends.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

extern char** environ;

namespace testing_support {

class VirtualXServer {
public:
    VirtualXServer() = default;
    VirtualXServer(const VirtualXServer&) = delete;
    VirtualXServer& operator=(const VirtualXServer&) = delete;
    ~VirtualXServer() { stop(); }

    // The display name (":N"), empty when Xvfb could not be started.
    std::string start() {
        int channel[2];
        if (pipe(channel) != 0) return {};
        // The server picks the display and writes its number to the pipe.
        const std::string fd = std::to_string(channel[1]);
        const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24",
                              "-nolisten", "tcp", "-noreset", nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, channel[0]);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const int failed = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(channel[1]);
        if (failed) {
            pid_ = -1;
            close(channel[0]);
            return {};
        }
        std::string number;
        pollfd waiting{channel[0], POLLIN, 0};
        char c = 0;
        while (poll(&waiting, 1, 10000) == 1 && read(channel[0], &c, 1) == 1 && c != '\n') number += c;
        close(channel[0]);
        if (number.empty()) {
            stop();
            return {};
        }
        name_ = ":" + number;
        return name_;
    }

    void stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }

    const std::string& name() const { return name_; }

private:
    pid_t pid_ = -1;
    std::string name_;
};

}  // namespace testing_support
