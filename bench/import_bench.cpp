// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include "app/cicom_view.h"
#include "app/main_frame.h"
#include "app/message_box.h"
#include "bench/bench.h"

namespace {

constexpr int kHfccEntries = 30000;

// A season-sized HFCC file in its documented layout: the comment lines above, then entries
// of 158 columns with varied frequencies, times, days and sites.
QByteArray HfccSeasonFile() {
  QByteArray bytes =
      "; A26 ALL 19-aug-2026\r\n; Global HF Schedule\r\n"
      ";----+----+----+------------------------------+---+----+-------+---+---+-------+------+"
      "------+-+-----+----------+---+---+---+-----+-+-----+-----+-----+-------\r\n"
      ";FREQ STRT STOP CIRAF ZONES                    LOC POWR AZIMUTH SLW ANT DAYS    FDATE  "
      "TDATE MOD AFRQ LANGUAGE   ADM BRC FMO REQ# OLD ALT1 ALT2  ALT3  NOTES\r\n";
  static const char* const kDays[] = {"1234567", "23456  ", "7      ", "1      ", "36     "};
  static const char* const kSites[] = {"WOF", "DHA", "ISS", "NAU", "KIG"};
  char line[200];
  for (int i = 0; i < kHfccEntries; ++i) {
    const int khz = 3900 + (i * 37) % 22000;
    const int start = (i * 7) % 24, minutes = (i % 4) * 15;
    std::snprintf(line, sizeof line,
                  "%5d %02d%02d %02d%02d %-30s %-3s  250 %-7d   0 218 %-7s 290326 251026 %c "
                  "%5d %-10s %-3s %-3s %-3s %5d   %-5s %-5s %-5s %-7s\r\n",
                  khz, start, minutes, (start + 1) % 24, minutes, "27SE,28NW", kSites[i % 5],
                  (i * 11) % 360, kDays[i % 5], i % 9 == 0 ? 'N' : 'D', khz, "Eng", "G", "BBC",
                  "ENC", i % 100000, "", "", "", "DRM_EUR");
    bytes += line;
  }
  return bytes;
}

}  // namespace

// The public schedule of 9,750 broadcasts, imported into a shown window: the user waits for
// the list to appear, so the figure includes drawing it.
void RunImportBenchmarks(const BenchOptions& options) {
  AnswerBoxesNo();
  CMainFrame frame;
  ShowBenchWindow(frame);

  std::vector<double> times;
  for (int i = 0; i < options.repetitions; ++i) {
    // The imported list is modified: No discards it before the next round.
    frame.NewFile();
    QApplication::processEvents();
    bool imported = false;
    times.push_back(Milliseconds([&] {
      imported = frame.ImportFile(QStringLiteral(QUILVAR_SCHEDULE_FILE));
      QApplication::processEvents();  // shown, not only built
    }));
    if (!imported || frame.view().list().grid().Rows() != 9751)
      std::fprintf(stderr, "quilvar-bench: the schedule was not imported\n");
  }
  Report("import_eibi_ms", Median(times), "ms");

  // A season of the coordinated schedule, some three times as many lines.
  QTemporaryDir dir;
  const QString hfccPath = dir.filePath("A26all00.TXT");
  QFile file(hfccPath);
  if (!file.open(QIODevice::WriteOnly) || file.write(HfccSeasonFile()) < 0) {
    std::fprintf(stderr, "quilvar-bench: the HFCC file was not written\n");
  }
  file.close();
  times.clear();
  for (int i = 0; i < options.repetitions; ++i) {
    frame.NewFile();
    QApplication::processEvents();
    bool imported = false;
    times.push_back(Milliseconds([&] {
      imported = frame.ImportFile(hfccPath);
      QApplication::processEvents();
    }));
    if (!imported || frame.view().list().grid().Rows() != kHfccEntries + 1)
      std::fprintf(stderr, "quilvar-bench: the HFCC file was not imported\n");
  }
  Report("import_hfcc_ms", Median(times), "ms");
  SetMessageBoxFunction({});
}
