// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the grid hands its editor for keys that type no printable character. Enter also
// stands for a double click: both open the editor with the whole text selected.
constexpr int kCharBackspace = 8;
constexpr int kCharTab = 9;
constexpr int kCharEnter = 13;
constexpr int kCharEscape = 27;
