// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>

// The waits of a simulator's serving thread. Each sleeps in poll() and also wakes on the
// wake descriptor (an eventfd), ending early once stopping is set, so Stop never waits for
// a slow reader or a long pause.

void DrainWake(int wake);

// Writes every byte to fd (a socket when socket is set, so a vanished peer cannot raise
// SIGPIPE). False when the peer is gone or stopping was set.
bool WriteAllUnlessStopped(int fd, int wake, const std::atomic<bool>& stopping,
                           const uint8_t* bytes, size_t count, bool socket);

// False when stopping was set before the pause was over.
bool PauseUnlessStopped(int wake, const std::atomic<bool>& stopping,
                        std::chrono::milliseconds pause);
