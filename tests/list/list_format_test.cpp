// SPDX-License-Identifier: GPL-3.0-or-later
#include "list/list_format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

TEST(LeadingNumber, ReadsOnlyThePlainDecimalPrefix) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"7100.1234", 7100.1234},
      {"  12abc", 12},
      {"\t 42", 42},
      {"-3", -3},
      {"+5", 5},
      {".5", 0.5},
      {"5.", 5},
      {"1.2.3", 1.2},
      {"7,1", 7},
      {"1e3", 1000},
      {"1E+2x", 100},
      {"2.5e-1", 0.25},
      {"1e", 1},
      {"1e+", 1},
      {"1ex", 1},
      {"0x1A", 0},
      {"inf", 0},
      {"nan", 0},
      {"- 3", 0},
      {"e5", 0},
      {".", 0},
      {"-", 0},
      {"", 0},
      {"abc", 0},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(LeadingNumber(QString::fromUtf8(c.text)), c.value) << c.text;
  }
}

TEST(NormalizeFrequency, ClampsToTheBandAndWritesThreeDecimals) {
  const std::string hugeDigits = "1" + std::string(400, '0');
  const struct {
    std::string text;
    const char* normal;
  } cases[] = {
      {"7100", "7100.000"},
      {"7100.1234", "7100.123"},
      {"14070.5 USB", "14070.500"},
      {"5", "10.000"},
      {"abc", "10.000"},
      {"", "10.000"},
      {"7,1", "10.000"},
      {"-0", "10.000"},
      {"-7100", "10.000"},
      {"10", "10.000"},
      {"9000000", "9000000.000"},
      {"9500000", "9000000.000"},
      {"12345678", "9000000.000"},
      {"1e400", "9000000.000"},
      {"-1e400", "10.000"},
      {"1e-400", "10.000"},
      {hugeDigits, "9000000.000"},
      {"0.0105e3", "10.500"},
  };
  for (const auto& c : cases) {
    QString text = QString::fromStdString(c.text);
    NormalizeFrequency(text);
    EXPECT_EQ(text, c.normal) << c.text;
  }
}

TEST(NormalizeFrequency, IgnoresTheUserLocale) {
  // scripts/deps generates this locale: its decimal separator is the comma.
  const std::string before = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no German locale";
  QString point = "7100.5";
  QString comma = "7100,5";
  NormalizeFrequency(point);
  NormalizeFrequency(comma);
  std::setlocale(LC_ALL, before.c_str());
  EXPECT_EQ(point, "7100.500");
  EXPECT_EQ(comma, "7100.000");
}

TEST(SplitFields, OneFieldMoreThanSeparators) {
  const struct {
    const char* line;
    QStringList fields;
  } cases[] = {
      {"", {""}},
      {"a", {"a"}},
      {"a;", {"a", ""}},
      {";a", {"", "a"}},
      {"a;;b", {"a", "", "b"}},
      {" a ; b ", {" a ", " b "}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitFields(c.line, u';'), c.fields) << c.line;
}

TEST(SplitFieldsFixed, PadsOrDropsToExactlyN) {
  const struct {
    const char* line;
    int n;
    QStringList fields;
  } cases[] = {
      {"a;b;c", 2, {"a", "b"}},
      {"a;b;c", 3, {"a", "b", "c"}},
      {"a", 3, {"a", "", ""}},
      {"a;b;", 3, {"a", "b", ""}},
      {"a;b;", 4, {"a", "b", "", ""}},
      {"", 1, {""}},
      {";;", 2, {"", ""}},
      {"a;b", 0, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitFieldsFixed(c.line, u';', c.n), c.fields) << c.line << " n=" << c.n;
  }
}

TEST(ColumnWidths, ParsedWithRowNumberColumnFloorAndViewLimit) {
  const struct {
    std::string line;
    int clientWidth;
    QList<int> widths;
  } cases[] = {
      {"100;280;80;", 1000, {60, 100, 280, 80, 30}},
      {"", 1000, {60, 30}},
      {"10;abc;;45px; 50;", 1000, {60, 30, 30, 30, 45, 30, 30}},
      {"2000;1000;999", 1000, {60, 1000, 1000, 999}},
      {std::string(40, '9') + ";", 1000, {60, 1000, 30}},
      {"100;", 20, {60, 20, 20}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseColumnWidths(QString::fromStdString(c.line), c.clientWidth), c.widths) << c.line;
  }
}

TEST(ColumnWidths, FormattedEachFollowedBySeparator) {
  EXPECT_EQ(FormatColumnWidths({100, 280, 80, 80, 50, 50, 300}), "100;280;80;80;50;50;300;");
  EXPECT_EQ(FormatColumnWidths({}), "");
  EXPECT_EQ(WidthsFilePath("/lists/stations.CSV"), "/lists/stations.CSV1");
}

}  // namespace
