// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// run_measured: runs a command with its output discarded and prints its wall
// time in seconds and its peak resident memory in kilobytes. Forked from this
// small process, the child's peak is its own, not that of a large parent.
// With --repeat N it runs the command N times, one after the other, and
// prints the time of all N and the largest peak: a start-up costs so little
// that only many of them together can be timed.
//
// usage: run_measured [--repeat N] COMMAND [ARG...]

#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>

namespace {

constexpr const char* USAGE =
    "usage: run_measured [--repeat N] COMMAND [ARG...]\n"
    "Runs COMMAND with its output discarded, N times over with --repeat, and\n"
    "prints the wall time of all runs in seconds and the largest peak resident\n"
    "memory of one run in kilobytes.\n";

// Runs command once; returns its exit status, 2 when it could not be run or
// was killed, and its peak resident memory in peak.
int run_once(char* command[], long& peak) noexcept {
    const pid_t child = fork();
    if (child < 0) return 2;
    if (child == 0) {
        const int sink = open("/dev/null", O_WRONLY);
        if (sink < 0 || dup2(sink, STDOUT_FILENO) < 0) _exit(127);
        execvp(command[0], command);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) < 0) return 2;
    peak = usage.ru_maxrss;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc == 2 && std::string_view(argv[1]) == "--help")
        return std::fputs(USAGE, stdout) < 0 ? 2 : 0;
    int first = 1;
    long repeat = 1;
    if (argc > 3 && std::string_view(argv[1]) == "--repeat") {
        repeat = std::strtol(argv[2], nullptr, 10);
        first = 3;
    }
    if (argc <= first || repeat < 1) {
        (void)std::fputs(USAGE, stderr);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    long largest_peak = 0;
    int status = 0;
    for (long run = 0; run < repeat && status == 0; ++run) {
        long peak = 0;
        status = run_once(argv + first, peak);
        largest_peak = std::max(largest_peak, peak);
    }
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    if (std::printf("%.6f %ld\n", wall.count(), largest_peak) < 0) return 2;
    return status;
}
