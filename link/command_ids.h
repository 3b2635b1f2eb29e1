#pragma once

// Timer ids of the view, kept under the numbers the program has always used.
constexpr int kTimerClock = 111;       // every 10 s: clock, Timing colours, Schedule Mode
constexpr int kTimerScan = 222;        // every scan interval: Scan Mode
constexpr int kTimerCatPoll = 333;     // every 750 ms while a CAT radio is connected
constexpr int kTimerPerseusPoll = 444; // every 750 ms after a Perseus probe

constexpr int kPollIntervalMs = 750;
