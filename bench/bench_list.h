#pragma once

#include <QString>

constexpr int kLines = 100000;

// A realistic list of kLines stations: shortwave frequencies, names, modes, daily UTC
// windows and free columns; the same list on every run.
void WriteList(const QString& path);
