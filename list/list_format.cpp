// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/list_format.h"

#include <locale.h>
#include <stdlib.h>

#include <algorithm>
#include <charconv>
#include <string>

#include "list/cell_store.h"

namespace {

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// The blanks the C library skips before a number.
bool IsBlank(QChar c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

// strtod in the C locale: the point is the decimal separator whatever the user's locale,
// and out-of-range values still come back as infinity or zero.
double ParseCDouble(const std::string& number) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
  return strtod_l(number.c_str(), nullptr, cLocale);
}

// Fields 0 to at most n-1. Runs for every line of a list, so it avoids the general split.
QStringList SplitUpTo(const QString& line, QChar separator, qsizetype n) {
  QStringList fields;
  fields.reserve(n);
  const QChar* data = line.constData();
  const QChar* end = data + line.size();
  const QChar* start = data;
  while (fields.size() < n) {
    const QChar* p = std::find(start, end, separator);
    fields.append(p == start ? QString() : QString(start, p - start));
    if (p == end) break;
    start = p + 1;
  }
  return fields;
}

}  // namespace

namespace {

template <typename View>
double LeadingNumberIn(View text) {
  const qsizetype size = text.size();
  const auto at = [&text](qsizetype i) { return QChar(text.at(i).unicode()); };
  qsizetype i = 0;
  while (i < size && IsBlank(at(i))) ++i;
  std::string number;
  if (i < size && (at(i) == u'+' || at(i) == u'-')) number += char(at(i++).unicode());
  bool sawDigit = false;
  bool sawPoint = false;
  for (; i < size; ++i) {
    const QChar c = at(i);
    if (IsDigit(c)) {
      sawDigit = true;
    } else if (c == u'.' && !sawPoint) {
      sawPoint = true;
    } else {
      break;
    }
    number += char(c.unicode());
  }
  if (!sawDigit) return 0.0;
  if (i < size && (at(i) == u'e' || at(i) == u'E')) {
    qsizetype j = i + 1;
    if (j < size && (at(j) == u'+' || at(j) == u'-')) ++j;
    if (j < size && IsDigit(at(j))) {
      for (qsizetype k = i; k < j; ++k) number += char(at(k).unicode());
      while (j < size && IsDigit(at(j))) number += char(at(j++).unicode());
    }
  }
  return ParseCDouble(number);
}

// Whether text already is a frequency in normal form. Nearly every cell of a saved list
// is, and recognising that spares turning it into a number and back.
template <typename View>
bool IsNormalFrequency(View text) {
  const qsizetype size = text.size();
  constexpr qsizetype kShortest = 6, kLongest = 11;  // "10.000", "9000000.000"
  if (size < kShortest || size > kLongest || text.at(size - 4).unicode() != u'.') return false;
  const auto digit = [&text](qsizetype i) {
    const char16_t c = text.at(i).unicode();
    return c >= u'0' && c <= u'9' ? int(c - u'0') : -1;
  };
  if (digit(0) == 0) return false;
  qint64 whole = 0;
  for (qsizetype i = 0; i < size - 4; ++i) {
    if (digit(i) < 0) return false;
    whole = whole * 10 + digit(i);
  }
  int fraction = 0;
  for (qsizetype i = size - 3; i < size; ++i) {
    if (digit(i) < 0) return false;
    fraction = fraction * 10 + digit(i);
  }
  return whole >= qint64(kMinFrequencyKhz) &&
         (whole < qint64(kMaxFrequencyKhz) || (whole == qint64(kMaxFrequencyKhz) && fraction == 0));
}

}  // namespace

double LeadingNumber(QAnyStringView text) {
  return VisitCell(text, [](auto view) { return LeadingNumberIn(view); });
}

QLatin1StringView NormalFrequency(QAnyStringView text, FrequencyChars& buffer) {
  if (VisitCell(text, [](auto view) { return IsNormalFrequency(view); })) {
    qsizetype length = 0;
    VisitCell(text, [&](auto view) {
      for (; length < view.size(); ++length)
        buffer[size_t(length)] = char(view.at(length).unicode());
    });
    return QLatin1StringView(buffer.data(), length);
  }
  double khz = LeadingNumber(text);
  // Overflowed input arrives as infinity and clamps to the top; -0 and -inf land at 10.
  if (khz < kMinFrequencyKhz) {
    khz = kMinFrequencyKhz;
  } else if (khz > kMaxFrequencyKhz) {
    khz = kMaxFrequencyKhz;
  }
  // to_chars rounds exactly like "%.3lf" but never looks at the locale, and is much faster
  // than QString::number.
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), khz,
                                    std::chars_format::fixed, kFrequencyDecimals);
  return QLatin1StringView(buffer.data(), result.ptr - buffer.data());
}

void NormalizeFrequency(QString& text) {
  FrequencyChars buffer;
  text = NormalFrequency(text, buffer);
}

QStringList SplitFields(const QString& line, QChar separator) {
  return SplitUpTo(line, separator, line.count(separator) + 1);
}

QStringList SplitFieldsFixed(const QString& line, QChar separator, int n) {
  QStringList fields = SplitUpTo(line, separator, std::max(n, 0));
  while (fields.size() < n) fields.append(QString());
  return fields;
}

QString WidthsFilePath(const QString& listPath) {
  return listPath + QLatin1String(kWidthsFileSuffix);
}

QList<int> ParseColumnWidths(const QString& firstLine, int clientWidth) {
  const int limit = std::max(clientWidth, 0);
  QList<int> widths{kRowNumberColumnWidth};
  for (const QString& field : SplitFields(firstLine, kFieldSeparator)) {
    // Stop accumulating once past the limit, so a long run of digits cannot overflow.
    qint64 w = 0;
    for (qsizetype i = 0; i < field.size() && IsDigit(field[i]) && w <= limit; ++i) {
      w = w * 10 + (field[i].unicode() - u'0');
    }
    if (w < kMinStoredColumnWidth) w = kMinStoredColumnWidth;
    if (w >= limit) w = limit;
    widths.append(int(w));
  }
  return widths;
}

QString FormatColumnWidths(const QList<int>& widthsOfColumns1toN) {
  QString text;
  for (int w : widthsOfColumns1toN) {
    text += QString::number(w);
    text += kFieldSeparator;
  }
  return text;
}
