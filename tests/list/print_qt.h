// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <ostream>

// Readable failures: texts instead of arrays of UTF-16 units.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
  *os << '{';
  for (const QString& text : list) *os << '"' << text.toStdString() << "\" ";
  *os << '}';
}
