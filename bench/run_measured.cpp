// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// run_measured: runs a command with its output discarded and prints its wall
// time in seconds and its peak resident memory in kilobytes. Forked from this
// small process, the child's peak is its own, not that of a large parent.
//
// usage: run_measured COMMAND [ARG...]

#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>

namespace {

constexpr const char* USAGE = "usage: run_measured COMMAND [ARG...]\n"
                              "Runs COMMAND with its output discarded and prints its wall time\n"
                              "in seconds and its peak resident memory in kilobytes.\n";

} // namespace

int main(int argc, char* argv[]) {
    if (argc == 2 && std::string_view(argv[1]) == "--help")
        return std::fputs(USAGE, stdout) < 0 ? 2 : 0;
    if (argc < 2) {
        (void)std::fputs(USAGE, stderr);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) return 2;
    if (child == 0) {
        const int sink = open("/dev/null", O_WRONLY);
        if (sink < 0 || dup2(sink, STDOUT_FILENO) < 0) _exit(127);
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) < 0) return 2;
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    if (std::printf("%.6f %ld\n", wall.count(), usage.ru_maxrss) < 0) return 2;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}
