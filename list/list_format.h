// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAnyStringView>
#include <QChar>
#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>

// Plain text rules of the station list: fields of a line, the frequency's normal form and
// the column widths file. No widgets, no files.

constexpr QChar kFieldSeparator = u';';

constexpr double kMinFrequencyKhz = 10.0;
constexpr double kMaxFrequencyKhz = 9000000.0;
constexpr int kFrequencyDecimals = 3;

// The widths file sits beside the list: the list's path with this appended.
constexpr const char* kWidthsFileSuffix = "1";
constexpr int kRowNumberColumnWidth = 60;  // column 0 whenever a widths file exists
constexpr int kMinStoredColumnWidth = 30;

// The longest leading decimal number: blanks, an optional sign, digits with at most one
// point, an optional exponent (taken only when digits follow the e). Independent of the
// locale; no "inf", "nan" or hex. 0 when the text starts with no number.
double LeadingNumber(QAnyStringView text);

// A frequency cell as kHz clamped to 10 ... 9000000 with three decimals, written into
// buffer; NormalizeFrequency rewrites the cell itself.
using FrequencyChars = std::array<char, 32>;
QLatin1StringView NormalFrequency(QAnyStringView text, FrequencyChars& buffer);
void NormalizeFrequency(QString& text);

// Every field of the line: one more than it has separators, so "" is one empty field.
QStringList SplitFields(const QString& line, QChar separator);

// Fields 0 to n-1; those beyond the last separator are empty, later ones are dropped.
QStringList SplitFieldsFixed(const QString& line, QChar separator, int n);

QString WidthsFilePath(const QString& listPath);

// Widths of every grid column from the first line of a widths file: 60 for column 0, then
// one per field (the empty field after the final separator included), each at least 30
// and at most the view's width.
QList<int> ParseColumnWidths(const QString& firstLine, int clientWidth);

// The widths file's text for columns 1 and on: each width followed by the separator.
QString FormatColumnWidths(const QList<int>& widthsOfColumns1toN);
