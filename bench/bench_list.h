#pragma once

#include <QString>

constexpr int kLines = 100000;

// A realistic list of `lines` stations: shortwave frequencies, names, modes, daily UTC
// windows and free columns; the same list on every run, and a longer list begins with the
// lines of a shorter one.
void WriteList(const QString& path, int lines = kLines);
