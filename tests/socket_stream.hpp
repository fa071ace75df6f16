// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// A stream whose descriptor hands out its text in short reads, for the tests
// and the fuzz targets that drive the input loop through a descriptor.
#pragma once

#include <sys/socket.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace pilo_checks {

// A stream over a socket that hands out text in records of sizes drawn from
// seed, one a read, so that reads come back short anywhere. Then the
// socket's other end is closed, the end of input; or, given writer, it is
// left open there, with the reader not waiting, so that the next read fails
// with EAGAIN. Returns null when the socket cannot hold text.
inline std::FILE* open_socket_stream(const std::string& text, std::size_t seed, int* writer) {
    int ends[2] = {-1, -1};
    if (socketpair(AF_UNIX, SOCK_SEQPACKET, 0, ends) != 0) return nullptr;
    std::minstd_rand random(static_cast<std::minstd_rand::result_type>(seed));
    for (std::size_t at = 0, size = 0; at < text.size(); at += size) {
        // stdio reads a socket 4 KiB at a time, and would cut a longer record.
        size = std::min<std::size_t>(text.size() - at, random() % 4096 + 1);
        if (send(ends[1], text.data() + at, size, MSG_DONTWAIT) != static_cast<ssize_t>(size))
            return nullptr;
    }
    if (writer != nullptr) *writer = ends[1];
    if (writer != nullptr ? fcntl(ends[0], F_SETFL, O_NONBLOCK) != 0 : close(ends[1]) != 0)
        return nullptr;
    return fdopen(ends[0], "r");
}

} // namespace pilo_checks
