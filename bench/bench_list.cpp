// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/bench_list.h"

#include <QFile>
#include <cstdio>
#include <random>
#include <string>

namespace {

const char* const kStations[] = {"BBC World Service",
                                 "Radio Romania International",
                                 "Voice of Turkey",
                                 "WRMI",
                                 "Radio Habana Cuba",
                                 "KBS World Radio",
                                 "Radio Marti",
                                 "Voice of Vietnam",
                                 "RAE Argentina al Mundo",
                                 "Radio Exterior de Espana",
                                 "Channel 292",
                                 "CHU Canada",
                                 "WWV time signal",
                                 "Volmet Shannon",
                                 "US Air Force HFGCS",
                                 "Radio Brasil Central"};
const char* const kModes[] = {"AM", "USB", "LSB", "CW", "FM"};
const char* const kLanguages[] = {"English", "Spanish", "French", "Arabic", "Chinese", "German"};
const char* const kCountries[] = {"G", "USA", "ROU", "TUR", "CUB", "KOR", "E", "D", "CAN"};
// Mostly daily, as in the schedules.
const char* const kDays[] = {"",      "",       "",      "",        "",      "Mo-Fr",
                             "Sa,Su", "SaSu",   "Fr-Mo", "1234567", "67",    "1-5",
                             "irr",   "MoWeFr", "Su",    "Tu-Sa",   "mo-fr", "2-6"};
// The schedule's own notations, persistence codes and validity dates.
const char* const kScheduleDays[] = {"",      "",      "",    "Mo-Fr", "Sa,Su", "1.Sa",
                                     "Last7", "12Apr", "irr", "alt",   "USB",   "2.Su"};
const char* const kPersistence[] = {"1", "1", "1", "0", "2", "4", "5", "6", "8", ""};
const char* const kDates[] = {
    "", "", "", "0111;2802[0223]", "0106;3006", ";[0425]", "310325;261025", "1606;3108[0622]"};
const char* const kSites[] = {"Woofferton", "Okeechobee", "Tiganesti", "Emirler",   "Bauta",
                              "Kimjae",     "Noblejas",   "Rohrbach",  "Greenville"};

template <size_t N>
const char* Pick(const char* const (&names)[N], std::mt19937& random) {
  return names[random() % N];
}

}  // namespace

void WriteList(const QString& path, int lines, bool days, bool schedule) {
  // Two million lines run to some 150 MB, so it goes out in pieces rather than
  // being held whole.
  constexpr size_t kChunk = 4 << 20;
  std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "wb");
  if (file == nullptr) {
    std::fprintf(stderr, "quilvar-bench: cannot write %s\n", qPrintable(path));
    return;
  }
  std::mt19937 random(7);
  // Days come from a generator of their own, so the other columns stay those of the list
  // without them.
  std::mt19937 dayRandom(11);
  std::string text = schedule ? "Freq (kHz);Station;Mode;UTC;LNG;ITU;Notes;Days;P;Start;Stop\r\n"
                     : days   ? "Freq (kHz);Station;Mode;UTC;LNG;ITU;Notes;Days\r\n"
                              : "Freq (kHz);Station;Mode;UTC;LNG;ITU;Notes\r\n";
  text.reserve(kChunk + 256);
  char line[256];
  bool written = true;
  for (int i = 0; i < lines; ++i) {
    int start = random() % 24, length = 1 + random() % 6;
    std::snprintf(line, sizeof line, "%.3f;%s %d;%s;%02d00-%02d00;%s;%s;%s relay, %d kW\r\n",
                  1000 + (random() % 29000000) / 1000.0, Pick(kStations, random), i % 97,
                  Pick(kModes, random), start, (start + length) % 24, Pick(kLanguages, random),
                  Pick(kCountries, random), Pick(kSites, random), 100 + int(random() % 400));
    text += line;
    if (schedule) {
      text.resize(text.size() - 2);
      (text += ';') += Pick(kScheduleDays, dayRandom);
      (text += ';') += Pick(kPersistence, dayRandom);
      const char* dates = Pick(kDates, dayRandom);
      (text += ';') += *dates ? dates : ";";
      text += "\r\n";
    } else if (days) {
      text.resize(text.size() - 2);
      (text += ';') += Pick(kDays, dayRandom);
      text += "\r\n";
    }
    if (text.size() >= kChunk) {
      written = written && std::fwrite(text.data(), 1, text.size(), file) == text.size();
      text.clear();
    }
  }
  written = written && std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (std::fclose(file) != 0 || !written) {
    std::fprintf(stderr, "quilvar-bench: cannot write %s\n", qPrintable(path));
  }
}
